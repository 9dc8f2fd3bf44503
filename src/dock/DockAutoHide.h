#pragma once

#include <functional>
#include <vector>

#include "dock/AutoHidingDock.h"
#include "foundation/Geometry.h"
#include "foundation/Scheduler.h"
#include "foundation/Subscription.h"

namespace quayline {

class Displays;
class PointerMotion;
class Preferences;

// Slides the dock windows off the bottom of their screens while the `autohide` setting is on.
// Only the pointer decides: the bottom strip of a screen reveals its dock at once, and a shown
// dock stays while the pointer is near it; otherwise the docks hide after a short delay.
class DockAutoHide {
 public:
  static constexpr double triggerStrip = 4;
  static constexpr double screenTolerance = 1;
  static constexpr double keepMargin = 12;
  static constexpr double hideDelay = 0.35;

  // The pointer counts as on a screen one point past its edges as well, so a pointer pushed
  // against an edge shared with nothing still reveals.
  static bool isOnScreen(const Rect& screenFrame, Point pointer);
  static bool reveals(const Rect& screenFrame, Point pointer);
  static bool keeps(const Rect& restingFrame, bool isAutoHidden, Point pointer);
  // Whether the pointer holds this dock shown (or brings it back).
  static bool holds(const AutoHidingDock& dock, Point pointer);

  DockAutoHide(Preferences& preferences, Displays& displays, Scheduler& scheduler,
               PointerMotion& motion);
  DockAutoHide(const DockAutoHide&) = delete;
  DockAutoHide& operator=(const DockAutoHide&) = delete;

  // The current dock windows, in order.
  std::function<std::vector<AutoHidingDock*>()> docks = [] {
    return std::vector<AutoHidingDock*>{};
  };

  // Follows the setting: every change of `autohide` runs `apply()`.
  void observePreference();
  // Switches between disabled and enabled when the setting differs from what was applied.
  void apply();
  // Shows every dock the pointer holds. When none is held, a forced update hides every dock at
  // once; otherwise the hide timer is armed.
  void update(bool force);

  bool isEnabled() const { return enabled_; }
  bool isHideTimerPending() const { return hideTimer_.active(); }
  bool isMonitoring() const { return monitor_.active(); }

 private:
  void installMonitors();
  void removeMonitors() { monitor_.reset(); }
  void hideTimerFired();

  Preferences& preferences_;
  Displays& displays_;
  Scheduler& scheduler_;
  PointerMotion& motion_;

  Subscription monitor_;
  Subscription hideTimer_;
  Subscription preferenceChange_;
  bool enabled_ = false;
};

}  // namespace quayline
