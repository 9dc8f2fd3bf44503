#pragma once

namespace quayline {

class ApplicationBundle;
class Processes;
class Relaunch;
class Workspace;

// Clears a stale accessibility permission and starts Quayline afresh; used by the permission
// and onboarding windows.
class AccessibilityRecovery {
 public:
  static constexpr const char* resetTool = "/usr/bin/tccutil";
  static constexpr const char* settingsURL =
      "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility";

  AccessibilityRecovery(Processes& processes, Workspace& workspace, ApplicationBundle& bundle,
                        Relaunch& relaunch);

  // Resets the permission entry of this application's identifier (nothing without one), then
  // relaunches. A tool that cannot be started is ignored.
  void resetAndRelaunch();
  // Starts a new instance and ends this one once it runs; should it not start, this one stays
  // and says so.
  void relaunch();
  // Opens the system's accessibility privacy settings, where there are any.
  void openSettings();

 private:
  Processes& processes_;
  Workspace& workspace_;
  ApplicationBundle& bundle_;
  Relaunch& relaunch_;
};

}  // namespace quayline
