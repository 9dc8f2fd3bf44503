#include "dock/DockAutoHide.h"

#include "app/Preferences.h"
#include "platform/Displays.h"
#include "platform/PointerMotion.h"

namespace quayline {

bool DockAutoHide::isOnScreen(const Rect& screenFrame, Point pointer) {
  return contains(screenFrame, pointer) ||
         contains(screenFrame.insetBy(-screenTolerance, -screenTolerance), pointer);
}

bool DockAutoHide::reveals(const Rect& screenFrame, Point pointer) {
  return isOnScreen(screenFrame, pointer) && pointer.y <= screenFrame.minY() + triggerStrip;
}

bool DockAutoHide::keeps(const Rect& restingFrame, bool isAutoHidden, Point pointer) {
  return !isAutoHidden && contains(restingFrame.insetBy(-keepMargin, -keepMargin), pointer);
}

bool DockAutoHide::holds(const AutoHidingDock& dock, Point pointer) {
  return reveals(dock.screen().frame, pointer) ||
         keeps(dock.restingFrame(), dock.isAutoHidden(), pointer);
}

DockAutoHide::DockAutoHide(Preferences& preferences, Displays& displays, Scheduler& scheduler,
                           PointerMotion& motion)
    : preferences_(preferences), displays_(displays), scheduler_(scheduler), motion_(motion) {}

void DockAutoHide::observePreference() {
  // The registration is one-shot: renew it from inside the callback.
  preferenceChange_ = preferences_.observeNextChange({Preferences::Key::autohide}, [this] {
    apply();
    observePreference();
  });
}

void DockAutoHide::apply() {
  const bool autohide = preferences_.autohide();
  if (autohide == enabled_) {
    return;
  }
  enabled_ = autohide;
  if (!enabled_) {
    removeMonitors();
    hideTimer_.reset();
    for (AutoHidingDock* dock : docks()) {
      if (dock->isAutoHidden()) {
        dock->setAutoHidden(false, true);
      }
    }
    return;
  }
  installMonitors();
  update(true);
}

void DockAutoHide::update(bool force) {
  if (!enabled_) {
    return;
  }
  const Point pointer = displays_.pointerLocation();
  const std::vector<AutoHidingDock*> all = docks();
  bool anyHeld = false;
  for (AutoHidingDock* dock : all) {
    if (!holds(*dock, pointer)) {
      continue;
    }
    anyHeld = true;
    hideTimer_.reset();
    if (dock->isAutoHidden()) {
      dock->setAutoHidden(false, !force);
    }
  }
  if (anyHeld) {
    return;
  }
  if (force) {
    for (AutoHidingDock* dock : all) {
      if (!dock->isAutoHidden()) {
        dock->setAutoHidden(true, false);
      }
    }
  } else if (!hideTimer_.active()) {
    hideTimer_ = scheduler_.after(Scheduler::Seconds(hideDelay), [this] { hideTimerFired(); });
  }
}

void DockAutoHide::hideTimerFired() {
  hideTimer_.reset();
  if (!enabled_) {
    return;
  }
  // Each dock is decided on its own: the pointer may hold one while the others go.
  const Point pointer = displays_.pointerLocation();
  for (AutoHidingDock* dock : docks()) {
    if (!holds(*dock, pointer) && !dock->isAutoHidden()) {
      dock->setAutoHidden(true, true);
    }
  }
}

void DockAutoHide::installMonitors() {
  if (monitor_.active()) {
    return;
  }
  // The port delivers on the main thread; without motion reports the docks still follow the
  // forced updates of the window rebuilds.
  monitor_ = motion_.observeMotion([this] { update(false); });
}

}  // namespace quayline
