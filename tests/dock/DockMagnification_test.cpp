#include "dock/DockMagnification.h"

#include <gtest/gtest.h>

#include "dock/MenuTracking.h"
#include "fakes/FakeDisplayLink.h"
#include "fakes/FakeDisplays.h"
#include "fakes/FakeScheduler.h"

namespace quayline {
namespace {

// Five app tiles of tile size 48: slot width 50, a resting row 250 wide.
const std::vector<double> kFiveTiles(5, 50);

TEST(MagnifiedRowTest, CosineWaveCentredOnTheRestingRow) {
  const MagnifiedRow row = MagnifiedRow::layout(kFiveTiles, {48, 125, 1});
  ASSERT_EQ(row.slots.size(), 5u);
  EXPECT_DOUBLE_EQ(row.slots[2].scale, 2);
  EXPECT_NEAR(row.slots[1].scale, 1.6294, 1e-4);
  EXPECT_NEAR(row.slots[3].scale, 1.6294, 1e-4);
  EXPECT_NEAR(row.slots[0].scale, 1.0670, 1e-4);
  EXPECT_NEAR(row.slots[0].minX, -59.82, 0.01);
  EXPECT_NEAR(row.maxX() - 250, -row.slots[0].minX, 1e-9);  // grown equally both ways
  EXPECT_DOUBLE_EQ(MagnifiedRow::layout(kFiveTiles, {48, 125, 0.5}).slots[2].scale, 1.5);
  // 2.5 tile sizes or more from the centre nothing grows.
  EXPECT_DOUBLE_EQ(MagnifiedRow::layout(kFiveTiles, {48, 145, 1}).slots[0].scale, 1);
}

TEST(MagnifiedRowTest, RestingXUndoesTheSpread) {
  const MagnifiedRow row = MagnifiedRow::layout(kFiveTiles, {48, 125, 1});
  for (const auto& slot : row.slots) {
    EXPECT_NEAR(row.restingX(slot.minX + slot.restingWidth * slot.scale * 0.5),
                slot.restingMinX + slot.restingWidth * 0.5, 1e-9);
  }
  // Beyond the ends the offset carries over one to one.
  EXPECT_NEAR(row.restingX(row.slots[0].minX - 10), -10, 1e-9);
  EXPECT_NEAR(row.restingX(row.maxX() + 7), 257, 1e-9);
  EXPECT_DOUBLE_EQ(MagnifiedRow{}.restingX(42), 42);
}

class DockMagnificationTest : public ::testing::Test {
 protected:
  DockMagnificationTest() {
    model.setRestingFrame(Rect(100, 0, 250, 62));
    model.setLayout(DockLayout{48});
    model.setWidths(kFiveTiles);
    model.envelopeChanged = [this] { ++envelopeChanges; };
  }

  void pointAtRowX(double x) { displays.pointer = {100 + x, 30}; }
  void frame(double seconds) {
    scheduler.advance(seconds);
    links.refresh();
  }
  // Refreshes at `hz` until progress reaches `target`; returns the time taken after the first
  // step, which only starts the clock.
  double runUntil(double target, double hz) {
    links.refresh();
    double elapsed = 0;
    for (int i = 0; i < 1000 && model.progress() != target; ++i) {
      frame(1 / hz);
      elapsed += 1 / hz;
    }
    return elapsed;
  }
  void magnify() {
    model.setEnabled(true);
    pointAtRowX(125);
    model.pointerMoved();
    runUntil(1, 60);
  }
  double scaleOf(std::size_t slot) const { return model.row()->slots.at(slot).scale; }

  FakeDisplays displays;
  FakeScheduler scheduler;
  MenuTracking menus;
  FakeDisplayLinks links;
  DockMagnification model{displays, scheduler, menus, links.factory()};
  int envelopeChanges = 0;
};

TEST_F(DockMagnificationTest, GrowsIn012AndShrinksIn018AtAnyRefreshRate) {
  for (double hz : {60.0, 120.0}) {
    SCOPED_TRACE(hz);
    envelopeChanges = 0;
    model.setEnabled(true);
    pointAtRowX(125);
    model.pointerEntered();
    const double growth = runUntil(1, hz);
    EXPECT_GE(growth, 0.12 - 1e-9);
    EXPECT_LT(growth, 0.12 + 1 / hz);
    EXPECT_DOUBLE_EQ(scaleOf(2), 2);
    EXPECT_EQ(envelopeChanges, 1);  // the row's arrival, not each growing step

    displays.pointer = {700, 500};
    model.pointerExited();
    const double shrinking = runUntil(0, hz);
    EXPECT_GE(shrinking, 0.18 - 1e-9);
    EXPECT_LT(shrinking, 0.18 + 1 / hz);
    EXPECT_FALSE(model.row());
    EXPECT_EQ(envelopeChanges, 2);
    EXPECT_FALSE(model.isLinkRunning());
  }
}

TEST_F(DockMagnificationTest, GrowsWhileThePointerKeepsMovingBetweenRefreshes) {
  model.setEnabled(true);
  pointAtRowX(125);
  model.pointerEntered();
  links.refresh();
  // A pointer reports several moves per refresh; each keeps the link running, none restarts its
  // clock.
  double elapsed = 0;
  for (int i = 0; i < 100 && model.progress() < 1; ++i) {
    for (int move = 0; move < 3; ++move) {
      pointAtRowX(125 + (i + move) % 2);
      model.pointerMoved();
    }
    frame(1.0 / 60);
    elapsed += 1.0 / 60;
  }
  EXPECT_EQ(model.progress(), 1);
  EXPECT_LT(elapsed, 0.12 + 1.0 / 60);
}

TEST_F(DockMagnificationTest, HalfProgressIsHalfStrengthAndStallsAreCapped) {
  model.setEnabled(true);
  pointAtRowX(125);
  model.pointerEntered();
  links.refresh();
  frame(0.03);
  frame(0.03);
  EXPECT_NEAR(scaleOf(2), 1.5, 1e-9);
  frame(0.5);  // a stalled main thread
  EXPECT_NEAR(model.progress(), 0.5 + (1.0 / 30) / 0.12, 1e-9);
}

TEST_F(DockMagnificationTest, ARestingPointerStopsTheLinkUntilItMovesAgain) {
  // Until the content view reports a move, a resting pointer is polled.
  model.setEnabled(true);
  pointAtRowX(125);
  model.pointerEntered();
  runUntil(1, 60);
  frame(1.0 / 60);
  EXPECT_TRUE(model.isLinkRunning());

  model.pointerMoved();
  frame(1.0 / 60);
  EXPECT_FALSE(model.isLinkRunning());
  // Over the magnified row the pointer is mapped back to the resting row: pointing at the
  // middle of the grown fourth tile centres the wave on it.
  const auto fourth = model.row()->slots[3];
  displays.pointer = {100 + fourth.minX + fourth.restingWidth * fourth.scale * 0.5, 30};
  model.pointerMoved();
  frame(1.0 / 60);
  EXPECT_DOUBLE_EQ(scaleOf(3), 2);
  EXPECT_TRUE(model.isLinkRunning());  // it moved since the last step
  frame(1.0 / 60);
  EXPECT_FALSE(model.isLinkRunning());
}

TEST_F(DockMagnificationTest, MenusFreezeAndDragsShrinkTheRow) {
  magnify();
  model.pointerMoved();
  menus.didBeginTracking();
  EXPECT_FALSE(model.isLinkRunning());
  const auto frozen = model.row();
  displays.pointer = {700, 500};
  // Refreshes already queued when the menu opened change nothing.
  model.step();
  scheduler.advance(0.05);
  model.step();
  EXPECT_EQ(model.row(), frozen);
  menus.didEndTracking();
  runUntil(0, 60);
  EXPECT_FALSE(model.row());

  magnify();
  model.setSuspended(true);
  model.resume();
  runUntil(0, 60);
  EXPECT_FALSE(model.row());
}

TEST_F(DockMagnificationTest, DisabledNeverRunsAndDisablingOrRetiringResets) {
  pointAtRowX(125);
  model.pointerEntered();
  model.pointerMoved();
  EXPECT_EQ(links.made, 0);

  magnify();
  model.pointerMoved();
  model.setEnabled(false);
  EXPECT_FALSE(model.row());
  EXPECT_EQ(model.progress(), 0);
  EXPECT_FALSE(model.isLinkRunning());
  EXPECT_EQ(envelopeChanges, 1);  // the caller applies the frame itself

  magnify();
  model.retire();
  EXPECT_EQ(links.live(), 0u);
  EXPECT_FALSE(model.row());
}

TEST_F(DockMagnificationTest, ZoneCoversTheRowTheGapAndOnceMagnifiedTheSpread) {
  // Resting: x over [100, 350] and y over [0, 48 + 19], ends included.
  EXPECT_TRUE(model.zoneContains({100, 0}));
  EXPECT_TRUE(model.zoneContains({350, 67}));
  EXPECT_FALSE(model.zoneContains({99.9, 30}));
  EXPECT_FALSE(model.zoneContains({200, 67.1}));
  EXPECT_FALSE(model.zoneContains({200, -0.1}));

  magnify();
  const double left = 100 + model.row()->slots[0].minX;
  const double right = 100 + model.row()->maxX();
  EXPECT_TRUE(model.zoneContains({left, 115}));
  EXPECT_TRUE(model.zoneContains({right, 0}));
  EXPECT_FALSE(model.zoneContains({left - 0.1, 30}));
  EXPECT_FALSE(model.zoneContains({200, 115.1}));
}

}  // namespace
}  // namespace quayline
