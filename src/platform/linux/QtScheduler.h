#pragma once

#include "foundation/Scheduler.h"

namespace quayline {

// The scheduler on Qt's event loop (the main thread). A QCoreApplication must exist.
class QtScheduler final : public Scheduler {
 public:
  void post(Task task) override;
  Subscription after(Seconds delay, Task task) override;
  Subscription every(Seconds interval, Task task) override;
  double wallClock() const override;
  double monotonic() const override;
};

}  // namespace quayline
