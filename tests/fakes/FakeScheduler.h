#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "foundation/Scheduler.h"

namespace quayline {

// The main thread on a virtual clock. Nothing runs until the test advances time or drains the
// posted tasks; timers fire in due order, each at its own virtual instant.
class FakeScheduler final : public Scheduler {
 public:
  void post(Task task) override;
  Subscription after(Seconds delay, Task task) override;
  Subscription every(Seconds interval, Task task) override;
  double wallClock() const override { return wallEpoch_ + now_; }
  double monotonic() const override { return now_; }

  // Runs posted tasks (and those they post) until none are left.
  void runPosted();
  // Moves the clock forward, firing every timer that falls due on the way.
  void advance(double seconds);

  std::size_t pendingTimers() const { return state_->timers.size(); }
  double wallEpoch_ = 1'800'000'000;  // a fixed, recent Unix time

 private:
  struct Timer {
    double due = 0;
    double interval = 0;  // 0 for a one-shot timer
    Task task;
  };
  struct State {
    std::uint64_t next = 0;
    std::map<std::uint64_t, Timer> timers;
  };
  Subscription add(double delay, double interval, Task task);

  double now_ = 0;
  std::vector<Task> posted_;
  std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace quayline
