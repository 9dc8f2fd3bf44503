#include "foundation/Published.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "foundation/Signal.h"
#include "foundation/Subscription.h"

namespace quayline {
namespace {

TEST(Published, PublishesOnlyRealChanges) {
  Published<std::string> name("a");
  std::vector<std::string> seen;
  std::vector<std::string> storedWhenCalled;
  Subscription observer = name.observe([&](const std::string& value) {
    seen.push_back(value);
    storedWhenCalled.push_back(name.get());
  });

  EXPECT_FALSE(name.set("a"));
  EXPECT_TRUE(name.set("b"));
  EXPECT_FALSE(name.set("b"));
  EXPECT_TRUE(name.set("c"));

  EXPECT_EQ(seen, (std::vector<std::string>{"b", "c"}));
  EXPECT_EQ(storedWhenCalled, seen);
  EXPECT_EQ(static_cast<const std::string&>(name), "c");
}

TEST(Published, ObserversSettingTheValueLeaveEveryoneWithTheLatest) {
  Published<int> level(0);
  std::vector<int> first;
  std::vector<int> second;
  Subscription clamp = level.observe([&](int value) {
    first.push_back(value);
    if (value > 10) {
      level.set(10);
    }
  });
  Subscription watch = level.observe([&](int value) { second.push_back(value); });

  level.set(50);

  EXPECT_EQ(level.get(), 10);
  ASSERT_FALSE(first.empty());
  ASSERT_FALSE(second.empty());
  EXPECT_EQ(first.back(), 10);
  EXPECT_EQ(second.back(), 10);
}

TEST(Published, DestroyingThePublisherInsideACallbackEndsTheEmission) {
  auto owner = std::make_unique<Published<std::string>>("old");
  std::optional<std::string> laterSaw;
  Subscription closes = owner->observe([&](const std::string&) { owner.reset(); });
  Subscription later = owner->observe([&](const std::string& value) { laterSaw = value; });

  owner->set("a value long enough to live on the heap, not in the small buffer");

  EXPECT_EQ(owner, nullptr);
  EXPECT_FALSE(laterSaw.has_value());  // its argument died with the publisher
}

TEST(Signal, CallsInConnectionOrderUntilDisconnected) {
  Signal<int> signal;
  std::vector<std::string> calls;
  Subscription a = signal.connect([&](int v) { calls.push_back("a" + std::to_string(v)); });
  Subscription b = signal.connect([&](int v) { calls.push_back("b" + std::to_string(v)); });
  EXPECT_EQ(signal.connectionCount(), 2u);

  signal.emit(1);
  a.reset();
  signal.emit(2);
  { Subscription scoped = std::move(b); }
  signal.emit(3);

  EXPECT_EQ(calls, (std::vector<std::string>{"a1", "b1", "b2"}));
  EXPECT_EQ(signal.connectionCount(), 0u);
}

TEST(Signal, ChangesDuringAnEmissionApplyAsDocumented) {
  Signal<> signal;
  std::vector<std::string> calls;
  Subscription removed;
  Subscription added;
  Subscription first = signal.connect([&] {
    calls.push_back("first");
    removed.reset();  // a later callback is not called, not even in this emission
    if (!added.active()) {
      added = signal.connect([&] { calls.push_back("added"); });  // from the next emission on
    }
  });
  removed = signal.connect([&] { calls.push_back("removed"); });

  signal.emit();
  signal.emit();

  EXPECT_EQ(calls, (std::vector<std::string>{"first", "first", "added"}));
}

TEST(Signal, ACallbackMayDropItsOwnSubscription) {
  Signal<int> signal;
  int calls = 0;
  Subscription once;
  once = signal.connect([&](int) {
    ++calls;
    once.reset();  // destroys the running std::function's registration
  });
  signal.emit(1);
  signal.emit(2);
  EXPECT_EQ(calls, 1);
}

TEST(Subscription, MovesOwnershipAndOutlivesItsSignal) {
  int cancels = 0;
  Subscription first([&] { ++cancels; });
  Subscription second(std::move(first));
  EXPECT_FALSE(first.active());
  EXPECT_TRUE(second.active());

  second = Subscription([&] { cancels += 10; });  // replacing cancels the old registration
  EXPECT_EQ(cancels, 1);
  second.reset();
  second.reset();
  EXPECT_EQ(cancels, 11);

  Subscription orphan;
  {
    Signal<int> signal;
    orphan = signal.connect([](int) {});
  }
  orphan.reset();  // the signal is gone; cancelling is harmless
  EXPECT_FALSE(orphan.active());
}

}  // namespace
}  // namespace quayline
