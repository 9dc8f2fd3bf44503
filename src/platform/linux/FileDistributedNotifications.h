#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

#include "platform/DistributedNotifications.h"

namespace quayline {

// Notifications posted inside this process, plus "com.apple.dock.prefchanged" whenever the system
// dock's domain file in the preferences directory changes and "com.orrin.quayline.prefchanged"
// whenever Quayline's own does (written by quayline-defaults, Keelguard, another program or this
// one). Needs a Qt event loop; main thread only.
class FileDistributedNotifications final : public DistributedNotifications {
 public:
  static constexpr std::string_view dockPreferencesChanged = "com.apple.dock.prefchanged";
  static constexpr std::string_view applicationPreferencesChanged =
      "com.orrin.quayline.prefchanged";

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
