#include "fakes/FakeScheduler.h"

#include <algorithm>

namespace quayline {

void FakeScheduler::post(Task task) {
  posted_.push_back(std::move(task));
}

Subscription FakeScheduler::after(Seconds delay, Task task) {
  return add(std::max(0.0, delay.count()), 0, std::move(task));
}

Subscription FakeScheduler::every(Seconds interval, Task task) {
  // A non-positive interval would fire forever at one instant; treat it as the smallest step.
  const double step = interval.count() > 0 ? interval.count() : 1e-3;
  return add(step, step, std::move(task));
}

Subscription FakeScheduler::add(double delay, double interval, Task task) {
  const auto id = state_->next++;
  state_->timers.emplace(id, Timer{now_ + delay, interval, std::move(task)});
  std::weak_ptr<State> weak = state_;
  return Subscription([weak, id] {
    if (auto state = weak.lock()) {
      state->timers.erase(id);
    }
  });
}

void FakeScheduler::runPosted() {
  while (!posted_.empty()) {
    auto tasks = std::move(posted_);
    posted_.clear();
    for (auto& task : tasks) {
      task();
    }
  }
}

void FakeScheduler::advance(double seconds) {
  const double end = now_ + std::max(0.0, seconds);
  runPosted();
  for (;;) {
    auto state = state_;
    auto earliest = state->timers.end();
    for (auto it = state->timers.begin(); it != state->timers.end(); ++it) {
      if (it->second.due <= end &&
          (earliest == state->timers.end() || it->second.due < earliest->second.due)) {
        earliest = it;
      }
    }
    if (earliest == state->timers.end()) {
      break;
    }
    now_ = std::max(now_, earliest->second.due);
    Task task = earliest->second.task;
    if (earliest->second.interval > 0) {
      earliest->second.due += earliest->second.interval;
    } else {
      state->timers.erase(earliest);
    }
    task();
    runPosted();
  }
  now_ = end;
}

}  // namespace quayline
