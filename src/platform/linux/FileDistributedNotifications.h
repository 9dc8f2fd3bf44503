#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

#include "platform/DistributedNotifications.h"

namespace quayline {

// Notifications posted inside this process, plus the system dock's "com.apple.dock.prefchanged"
// whenever its domain file in the preferences directory changes (written by quayline-defaults,
// Keelguard or anyone else). Needs a Qt event loop; main thread only.
class FileDistributedNotifications final : public DistributedNotifications {
 public:
  static constexpr std::string_view dockPreferencesChanged = "com.apple.dock.prefchanged";

  explicit FileDistributedNotifications(std::filesystem::path preferencesDirectory);
  ~FileDistributedNotifications() override;
  FileDistributedNotifications(const FileDistributedNotifications&) = delete;
  FileDistributedNotifications& operator=(const FileDistributedNotifications&) = delete;

  void post(std::string_view name) override;
  Subscription observe(std::string_view name, std::function<void()> callback) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quayline
