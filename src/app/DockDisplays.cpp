#include "app/DockDisplays.h"

#include "app/Preferences.h"
#include "dock/DisplayTarget.h"

namespace quayline {

DockDisplays::DockDisplays(Preferences& preferences, Displays& displays, Scheduler& scheduler,
                           DockWindowList::Factory factory)
    : preferences_(preferences),
      displays_(displays),
      scheduler_(scheduler),
      list_(std::move(factory)) {}

void DockDisplays::start() {
  applyDisplayTarget();
  screenChanges_ = displays_.observeScreenChanges([this] { rebuildDockWindows(); });
}

void DockDisplays::applyDisplayTarget() {
  targetChange_ = preferences_.observeNextChange({Preferences::Key::windowDisplayTarget}, [this] {
    scheduler_.post([this, weak = std::weak_ptr<char>(alive_)] {
      if (weak.lock()) {
        applyDisplayTarget();
      }
    });
  });
  displayTarget_ = preferences_.windowDisplayTarget();
  if (displayTarget_ == WindowDisplayTarget::followsPointer) {
    if (!pointerMonitor_) {
      pointerMonitor_ = std::make_unique<PointerScreenMonitor>(displays_, scheduler_,
                                                               [this] { rebuildDockWindows(); });
    }
  } else {
    pointerMonitor_.reset();
  }
  rebuildDockWindows();
}

void DockDisplays::rebuildDockWindows() {
  const auto screens = displays_.screens();
  if (screens.empty()) {
    return;
  }
  list_.rebuild(DisplayTarget::screens(displayTarget_, screens, displays_.pointerLocation()));
  if (didRebuild) {
    didRebuild();
  }
}

}  // namespace quayline
