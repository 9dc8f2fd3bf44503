#pragma once

#include <deque>
#include <string>

#include "foundation/SerialQueue.h"

namespace quayline {

// A queue whose tasks wait until the test runs them, so work in flight can be observed.
class ManualSerialQueue final : public SerialQueue {
 public:
  explicit ManualSerialQueue(std::string label = "manual") : label_(std::move(label)) {}
  const std::string& label() const override { return label_; }
  void async(Task task) override { tasks.push_back(std::move(task)); }

  // Runs the oldest waiting task; false when none waits.
  bool runOne() {
    if (tasks.empty()) {
      return false;
    }
    Task task = std::move(tasks.front());
    tasks.pop_front();
    task();
    return true;
  }
  void runAll() {
    while (runOne()) {
    }
  }

  std::deque<Task> tasks;

 private:
  std::string label_;
};

}  // namespace quayline
