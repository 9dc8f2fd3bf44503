#include "dock/DockAutoHide.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "app/Preferences.h"
#include "fakes/FakeApplicationAppearance.h"
#include "fakes/FakeDisplays.h"
#include "fakes/FakeLoginItem.h"
#include "fakes/FakePointerMotion.h"
#include "fakes/FakePreferenceDomains.h"
#include "fakes/FakeScheduler.h"

namespace quayline {
namespace {

// A dock window that records what it was asked: (hidden, animated) per call.
class FakeDock final : public AutoHidingDock {
 public:
  FakeDock(Screen screen, Rect resting) : screen_(screen), resting_(resting) {}
  const Screen& screen() const override { return screen_; }
  const Rect& restingFrame() const override { return resting_; }
  bool isAutoHidden() const override { return hidden; }
  void setAutoHidden(bool value, bool animated) override {
    hidden = value;
    calls.emplace_back(value, animated);
  }

  bool hidden = false;
  std::vector<std::pair<bool, bool>> calls;

 private:
  Screen screen_;
  Rect resting_;
};

using Call = std::pair<bool, bool>;
const Call kHideAnimated{true, true};
const Call kHideAtOnce{true, false};
const Call kShowAnimated{false, true};
const Call kShowAtOnce{false, false};

const Screen kLeft{1, Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 900), 2};
const Screen kRight{2, Rect(1440, 0, 1920, 1080), Rect(1440, 0, 1920, 1080), 1};

TEST(DockAutoHideRulesTest, StripToleranceAndKeepMargin) {
  struct Row {
    Point pointer;
    bool hidden;
    bool held;
  };
  const Row rows[] = {
      {{720, 4}, true, true},      // the strip's top edge reveals
      {{720, 4.5}, true, false},   // just above it does not
      {{-0.5, 2}, true, true},     // within the one-point tolerance of the screen
      {{-1.5, 2}, true, false},    // past it
      {{490, 90}, false, true},    // within 12 of the resting frame
      {{480, 100}, false, false},  // outside that margin
      {{490, 90}, true, false},    // a hidden dock is revealed by the strip alone
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::Message() << row.pointer << " hidden " << row.hidden);
    FakeDock dock(kLeft, Rect(500, 0, 440, 83));
    dock.hidden = row.hidden;
    EXPECT_EQ(DockAutoHide::holds(dock, row.pointer), row.held);
  }
}

class DockAutoHideTest : public ::testing::Test {
 protected:
  DockAutoHideTest() {
    autoHide.docks = [this] { return live; };
    autoHide.observePreference();
  }

  void moveTo(Point point) {
    displays.pointer = point;
    motion.moved();
  }
  void enable(Point pointer) {
    displays.pointer = pointer;
    preferences.setAutohide(true);
  }

  FakePreferenceDomains domains;
  FakeLoginItem loginItem;
  FakeApplicationAppearance appearance;
  Preferences preferences{domains, loginItem, appearance};
  FakeDisplays displays;
  FakeScheduler scheduler;
  FakePointerMotion motion;
  DockAutoHide autoHide{preferences, displays, scheduler, motion};
  FakeDock left{kLeft, Rect(500, 0, 440, 83)};
  FakeDock right{kRight, Rect(2180, 0, 440, 83)};
  std::vector<AutoHidingDock*> live{&left};
};

TEST_F(DockAutoHideTest, TurningOnHidesAtOnceUnlessThePointerHoldsADock) {
  live = {&left, &right};
  enable({720, 450});
  EXPECT_TRUE(autoHide.isMonitoring());
  EXPECT_EQ(left.calls, std::vector<Call>{kHideAtOnce});
  EXPECT_EQ(right.calls, std::vector<Call>{kHideAtOnce});

  preferences.setAutohide(false);
  EXPECT_FALSE(autoHide.isMonitoring());
  EXPECT_EQ(left.calls.back(), kShowAnimated);
  EXPECT_EQ(right.calls.back(), kShowAnimated);

  left.calls.clear();
  right.calls.clear();
  enable({720, 60});  // over the left dock: nothing moves
  EXPECT_TRUE(left.calls.empty());
  EXPECT_TRUE(right.calls.empty());
  EXPECT_FALSE(autoHide.isHideTimerPending());
}

TEST_F(DockAutoHideTest, LeavingHidesAfterTheDelayAndComingBackCancels) {
  enable({720, 60});
  moveTo({480, 100});
  scheduler.advance(0.2);
  moveTo({490, 90});  // back inside the keep margin
  EXPECT_FALSE(autoHide.isHideTimerPending());
  scheduler.advance(1);
  EXPECT_TRUE(left.calls.empty());

  moveTo({480, 100});
  scheduler.advance(0.3);
  EXPECT_TRUE(left.calls.empty());
  moveTo({720, 450});  // the pending timer is not re-armed
  scheduler.advance(0.1);
  EXPECT_EQ(left.calls, std::vector<Call>{kHideAnimated});

  moveTo({600, 50});  // over the hidden dock but above the strip
  scheduler.advance(1);
  EXPECT_EQ(left.calls.size(), 1u);
  moveTo({600, 4});
  EXPECT_EQ(left.calls.back(), kShowAnimated);
}

TEST_F(DockAutoHideTest, EachDisplayIsDecidedOnItsOwn) {
  live = {&left, &right};
  enable({720, 450});
  moveTo({720, 3});  // the left screen's strip
  EXPECT_EQ(left.calls.back(), kShowAnimated);
  EXPECT_TRUE(right.hidden);
  moveTo({2400, 0});
  EXPECT_FALSE(right.hidden);

  moveTo({2400, 500});
  // The pointer reaches the left strip without a motion report; the timer decides per dock.
  displays.pointer = {720, 0};
  scheduler.advance(DockAutoHide::hideDelay);
  EXPECT_FALSE(left.hidden);
  EXPECT_EQ(right.calls.back(), kHideAnimated);
}

TEST_F(DockAutoHideTest, ForcedUpdatesShowAtOnceAndTurningOffStopsEverything) {
  motion.unavailable = true;  // forced updates still follow the window rebuilds
  enable({720, 450});
  EXPECT_FALSE(autoHide.isMonitoring());
  displays.pointer = {720, 2};
  autoHide.update(true);
  EXPECT_EQ(left.calls, (std::vector<Call>{kHideAtOnce, kShowAtOnce}));

  displays.pointer = {720, 450};
  autoHide.update(false);
  preferences.setAutohide(false);
  EXPECT_FALSE(autoHide.isHideTimerPending());
  autoHide.update(true);
  scheduler.advance(1);
  EXPECT_EQ(left.calls.size(), 2u);
}

}  // namespace
}  // namespace quayline
