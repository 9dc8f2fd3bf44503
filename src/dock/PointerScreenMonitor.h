#pragma once

#include <functional>
#include <optional>

#include "foundation/Scheduler.h"
#include "foundation/Subscription.h"
#include "platform/Displays.h"

namespace quayline {

// Polls which screen the pointer is on, five times a second, and reports every change
// (leaving all screens and entering one count as changes).
class PointerScreenMonitor {
 public:
  static constexpr double interval = 0.2;

  PointerScreenMonitor(Displays& displays, Scheduler& scheduler, std::function<void()> onChange);
  PointerScreenMonitor(const PointerScreenMonitor&) = delete;
  PointerScreenMonitor& operator=(const PointerScreenMonitor&) = delete;

  const std::optional<DisplayNumber>& lastDisplayID() const { return lastDisplayID_; }

 private:
  std::optional<DisplayNumber> pointerDisplay();
  void tick();

  Displays& displays_;
  std::function<void()> onChange_;
  std::optional<DisplayNumber> lastDisplayID_;
  Subscription timer_;
};

}  // namespace quayline
