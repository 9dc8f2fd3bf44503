#pragma once

#include <functional>
#include <string>

namespace quayline {

class ApplicationBundle;
class Processes;
class Scheduler;
class Workspace;

// Clears a stale accessibility permission and starts Quayline afresh; used by the permission
// and onboarding windows.
class AccessibilityRecovery {
 public:
  static constexpr const char* resetTool = "/usr/bin/tccutil";
  static constexpr const char* settingsURL =
      "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility";

  // `terminate` ends this instance in order (the termination path runs).
  AccessibilityRecovery(Processes& processes, Workspace& workspace, ApplicationBundle& bundle,
                        Scheduler& scheduler, std::string ownExecutable,
                        std::function<void()> terminate);

  // Resets the permission entry of this application's identifier (nothing without one), then
  // relaunches. A tool that cannot be started is ignored.
  void resetAndRelaunch();
  // Starts a new instance, then ends this one from the main thread, whether or not the start
  // worked.
  void relaunch();
  // Opens the system's accessibility privacy settings, where there are any.
  void openSettings();

 private:
  Processes& processes_;
  Workspace& workspace_;
  ApplicationBundle& bundle_;
  Scheduler& scheduler_;
  std::string ownExecutable_;
  std::function<void()> terminate_;
};

}  // namespace quayline
