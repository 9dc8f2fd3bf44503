#pragma once

#include <functional>
#include <memory>

#include "app/DockWindowList.h"
#include "app/PreferenceValues.h"
#include "dock/PointerScreenMonitor.h"
#include "foundation/Scheduler.h"
#include "foundation/Subscription.h"
#include "platform/Displays.h"

namespace quayline {

class Preferences;

// Keeps one dock window on each screen the display-target setting chooses: follows that
// setting, screen changes and (only while following the pointer) the pointer's screen.
class DockDisplays {
 public:
  DockDisplays(Preferences& preferences, Displays& displays, Scheduler& scheduler,
               DockWindowList::Factory factory);
  DockDisplays(const DockDisplays&) = delete;
  DockDisplays& operator=(const DockDisplays&) = delete;

  // Creates the windows for the current setting and starts following screen changes.
  void start();

  void applyDisplayTarget();
  void rebuildDockWindows();
  // Called after every rebuild of the windows.
  std::function<void()> didRebuild;

  const std::vector<std::unique_ptr<DockWindow>>& windows() const { return list_.windows(); }
  WindowDisplayTarget displayTarget() const { return displayTarget_; }
  bool followsPointer() const { return pointerMonitor_ != nullptr; }

 private:
  Preferences& preferences_;
  Displays& displays_;
  Scheduler& scheduler_;
  DockWindowList list_;
  WindowDisplayTarget displayTarget_ = WindowDisplayTarget::allDisplays;
  std::unique_ptr<PointerScreenMonitor> pointerMonitor_;
  Subscription targetChange_;
  Subscription screenChanges_;
  // Work posted to the main thread checks this first, so a destroyed object is never called.
  std::shared_ptr<char> alive_ = std::make_shared<char>();
};

}  // namespace quayline
