#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string_view>

#include "foundation/PropertyValue.h"
#include "platform/ApplicationBundle.h"
#include "platform/Paths.h"
#include "platform/PreferenceDomains.h"
#include "platform/Processes.h"
#include "platform/SystemLog.h"

namespace quayline {

// Keeps the system dock out of sight while Quayline runs, without switching it off: its three
// auto-hide settings are recorded in a snapshot file, replaced by values that hide it for good,
// and written back when Quayline ends. Keelguard, started here, restores them should Quayline
// die first; a snapshot left over from a run that ended without either is restored at launch.
class SystemDockVisibility {
 public:
  static constexpr std::string_view domain = "com.apple.dock";
  // Recorded and restored in this order.
  static constexpr std::array<std::string_view, 3> keys = {"autohide", "autohide-delay",
                                                           "autohide-time-modifier"};
  // The reveal delay written to hide the dock; it is also how our own values are recognised.
  static constexpr std::int64_t hiddenDelay = 1000000;
  static constexpr std::string_view infoKey = "QuaylineHidesSystemDock";
  static constexpr std::string_view watchdogName = "Keelguard";
  static constexpr std::string_view killallPath = "/usr/bin/killall";

  SystemDockVisibility(PreferenceDomains& preferences, Processes& processes,
                       ApplicationBundle& bundle, Paths& paths, SystemLog& log);

  // Whether the installed program asks for the dock to be hidden: only a boolean true counts.
  bool hidesSystemDock();

  // The launch and termination steps: each does nothing unless hidesSystemDock().
  // Early at launch: restores a snapshot a previous run left behind.
  void recoverAtLaunch();
  // Later at launch: hides the dock.
  void hideAtLaunch();
  // When the program ends in order.
  void restoreAtTermination();

  // Records the dock's settings unless a snapshot already exists, writes the hide values,
  // relaunches the dock and starts Keelguard. When no snapshot can be written the dock is left
  // alone, since hiding it would lose the user's settings at the next restore.
  void hideSystemDock();

  // Stops Keelguard, so that it does not restore a second time, then restores from the snapshot.
  void restore();

  // Before a new copy of Quayline starts in this one's place: restores now (Keelguard first),
  // and leaves the system dock to the new copy from then on, so that ending this process
  // restores nothing a second time.
  void handOver();
  // The new copy did not start: hides the dock again as at launch and restores at the end.
  void takeBack();

  // Writes the recorded values back (a missing or unreadable snapshot removes the three keys),
  // deletes the snapshot and relaunches the dock.
  void restoreFrom(const std::filesystem::path& snapshot);

  // True when the dictionary holds our own hide values rather than the user's.
  static bool looksHiddenByUs(const PropertyValue::Dictionary& dictionary);

  // Ends the dock process; the system starts it again and it reads its domain afresh.
  void restartDock();

  // Launches Keelguard to watch this process, at most once per process (a failed launch counts).
  void startWatchdog();

  // <application support>/Quayline/SystemDockSnapshot.plist
  std::filesystem::path snapshotPath();

 private:
  // Nothing when the snapshot could not be written; the reason is logged.
  bool takeSnapshot();

  PreferenceDomains& preferences_;
  Processes& processes_;
  ApplicationBundle& bundle_;
  Paths& paths_;
  SystemLog& log_;

  struct Watchdog {
    std::optional<ProcessId> pid;  // nothing when the launch failed
  };
  std::optional<Watchdog> watchdog_;
  bool hidThisRun_ = false;
  bool handedOver_ = false;
  std::optional<std::filesystem::path> snapshotPath_;
};

}  // namespace quayline
