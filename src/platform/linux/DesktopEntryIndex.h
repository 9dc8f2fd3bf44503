#pragma once

#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quayline {

// One installed application, as its desktop entry (.desktop file) describes it.
struct DesktopEntry {
  std::string desktopFileId;  // "org.example.Editor.desktop"
  std::string bundleIdentifier;
  std::string name;  // localized by the environment's language
  std::string path;  // the .desktop file
  std::string startupWMClass;
  std::string executable;  // file name of the program the entry runs
  bool operator==(const DesktopEntry&) const = default;
};

// What a running client tells about itself.
struct ClientIdentity {
  std::string instance;    // WM_CLASS instance
  std::string className;   // WM_CLASS class
  std::string executable;  // file name of /proc/<pid>/exe, when readable
};

// The installed applications (GIO's list, user entries first), matched to running clients.
// Reloads when an applications folder changes. Safe to use from any thread.
class DesktopEntryIndex {
 public:
  DesktopEntryIndex();

  // The entry that started a client: its StartupWMClass names the client's class, else its id
  // does, else it runs the client's executable, else its program is named like the class.
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
