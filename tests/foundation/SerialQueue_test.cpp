#include "foundation/SerialQueue.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace quayline {
namespace {

TEST(InlineSerialQueue, RunsEachTaskBeforeAsyncReturns) {
  InlineSerialQueue queue("quayline.trash");
  EXPECT_EQ(queue.label(), "quayline.trash");
  std::vector<int> order;
  queue.async([&] {
    order.push_back(1);
    queue.async([&] { order.push_back(2); });
    order.push_back(3);
  });
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(ThreadSerialQueue, RunsTasksInOrderOnOneNamedWorker) {
  std::vector<int> order;
  std::vector<std::thread::id> threads;
  std::string threadName;
  std::promise<void> done;
  {
    ThreadSerialQueue queue("quayline.window-registry");
    EXPECT_EQ(queue.label(), "quayline.window-registry");
    for (int i = 0; i < 100; ++i) {
      queue.async([&, i] {
        order.push_back(i);
        threads.push_back(std::this_thread::get_id());
      });
    }
    queue.async([&] {
      char name[16] = {};
      pthread_getname_np(pthread_self(), name, sizeof name);
      threadName = name;
      done.set_value();
    });
    done.get_future().wait();
  }
  ASSERT_EQ(order.size(), 100u);
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(order[i], i);
    EXPECT_EQ(threads[i], threads[0]);
  }
  EXPECT_NE(threads[0], std::this_thread::get_id());
  EXPECT_EQ(threadName, "quayline.window");  // the first 15 characters of the label
}

TEST(ThreadSerialQueue, DestructionFinishesQueuedTasksFirst) {
  std::vector<int> ran;
  std::promise<void> gate;
  std::shared_future<void> opened = gate.get_future().share();
  {
    auto queue = std::make_unique<ThreadSerialQueue>("quayline.trash");
    queue->async([opened] { opened.wait(); });
    for (int i = 0; i < 50; ++i) {
      queue->async([&, i, raw = queue.get()] {
        ran.push_back(i);
        if (i == 49) {
          // Queued while the destructor may already be waiting: still runs.
          raw->async([&] { ran.push_back(50); });
        }
      });
    }
    gate.set_value();
    queue.reset();
  }
  ASSERT_EQ(ran.size(), 51u);
  EXPECT_EQ(ran.back(), 50);
}

}  // namespace
}  // namespace quayline
