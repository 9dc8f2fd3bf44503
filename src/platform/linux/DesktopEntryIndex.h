#pragma once

#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/DesktopEntryMatch.h"

namespace quayline {

// The installed applications (GIO's list, user entries first), matched to running clients.
// Reloads when an applications folder changes. Safe to use from any thread.
class DesktopEntryIndex {
 public:
  DesktopEntryIndex();

  // The entry a client window belongs to (see matchDesktopEntry).
  std::optional<DesktopEntry> match(const ClientIdentity& client);
  std::optional<DesktopEntry> byBundleIdentifier(std::string_view bundleIdentifier);
  std::optional<DesktopEntry> byPath(std::string_view path);
  // A startup-notification APPLICATION_ID: a desktop-file id or the path of the entry.
  std::optional<DesktopEntry> byApplicationId(std::string_view applicationId);
  // Startup-notification BIN and NAME fields, when the message has no application id.
  std::optional<DesktopEntry> byExecutableOrName(std::string_view executable,
                                                 std::string_view name);

  // Reads GIO's list again now.
  void reload();

  // The entry in one .desktop file, as the index would list it; none when GIO cannot read it.
  static std::optional<DesktopEntry> read(const std::string& path,
                                          const std::string& desktopFileId);

 private:
  using Clock = std::chrono::steady_clock;
  void refreshIfStale();
  std::map<std::string, std::optional<std::int64_t>> directoryTimes() const;

  std::mutex mutex_;
  std::vector<DesktopEntry> entries_;
  std::map<std::string, std::optional<std::int64_t>> times_;
  Clock::time_point checkedAt_{};
  Clock::time_point loadedAt_{};
  std::optional<Clock::time_point> reloadAgainAt_;
};

}  // namespace quayline
