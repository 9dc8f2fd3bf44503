#pragma once

#include <chrono>
#include <functional>

#include "foundation/Subscription.h"

namespace quayline {

// The main thread's clock and run loop. Logic takes its time and its timers from here, so the
// same code runs on the real event loop and on the virtual clock of the tests.
class Scheduler {
 public:
  using Seconds = std::chrono::duration<double>;
  using Task = std::function<void()>;

  virtual ~Scheduler() = default;

  // Runs the task on the main thread soon. Safe to call from any thread.
  virtual void post(Task task) = 0;

  // Runs the task once after the delay, unless the returned handle is dropped first.
  virtual Subscription after(Seconds delay, Task task) = 0;

  // Runs the task every interval until the returned handle is dropped.
  virtual Subscription every(Seconds interval, Task task) = 0;

  // Seconds since the Unix epoch.
  virtual double wallClock() const = 0;

  // Seconds on a clock that never goes back; only differences mean anything.
  virtual double monotonic() const = 0;
};

}  // namespace quayline
