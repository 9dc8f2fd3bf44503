#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace quayline {

// A labelled queue that runs its tasks one at a time, in order, off the main thread. Results go
// back to the main thread through the scheduler.
class SerialQueue {
 public:
  using Task = std::function<void()>;

  virtual ~SerialQueue() = default;
  virtual const std::string& label() const = 0;
  virtual void async(Task task) = 0;
};

// Runs each task on the caller's thread before async returns; what the tests use.
class InlineSerialQueue final : public SerialQueue {
 public:
  explicit InlineSerialQueue(std::string label) : label_(std::move(label)) {}
  const std::string& label() const override { return label_; }
  void async(Task task) override { task(); }

 private:
  std::string label_;
};

// One worker thread. Destruction finishes the tasks already queued, then joins.
class ThreadSerialQueue final : public SerialQueue {
 public:
  explicit ThreadSerialQueue(std::string label);
  ~ThreadSerialQueue() override;
  ThreadSerialQueue(const ThreadSerialQueue&) = delete;
  ThreadSerialQueue& operator=(const ThreadSerialQueue&) = delete;

  const std::string& label() const override { return label_; }
  void async(Task task) override;

 private:
  void run();

  std::string label_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Task> tasks_;
  bool stopping_ = false;
  std::thread worker_;
};

}  // namespace quayline
