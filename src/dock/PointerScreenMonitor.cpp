#include "dock/PointerScreenMonitor.h"

#include "dock/DisplayTarget.h"

namespace quayline {

PointerScreenMonitor::PointerScreenMonitor(Displays& displays, Scheduler& scheduler,
                                           std::function<void()> onChange)
    : displays_(displays), onChange_(std::move(onChange)) {
  lastDisplayID_ = pointerDisplay();
  timer_ = scheduler.every(Scheduler::Seconds(interval), [this] { tick(); });
}

std::optional<DisplayNumber> PointerScreenMonitor::pointerDisplay() {
  return DisplayTarget::displayUnderPointer(displays_.screens(), displays_.pointerLocation());
}

void PointerScreenMonitor::tick() {
  auto now = pointerDisplay();
  if (now == lastDisplayID_) {
    return;
  }
  lastDisplayID_ = now;
  onChange_();
}

}  // namespace quayline
