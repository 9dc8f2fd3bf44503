#include "windows/WindowReservation.h"

#include <gtest/gtest.h>

#include <memory>

#include "fakes/FakeDockServices.h"
#include "fakes/FakeProcesses.h"

namespace quayline {
namespace {

using Behavior = MaximizedWindowBehavior;

// The primary screen and a second one to its right, taller and reaching 200 points lower. In
// the window list's space (y down from the primary's top) the second spans y 400 to 1000.
const Screen kPrimary{1, Rect(0, 0, 1000, 800), Rect(0, 0, 1000, 800), 1};
const Screen kSecond{2, Rect(1000, -200, 1200, 600), Rect(1000, -200, 1200, 600), 1};
// With 60-point docks the windows must end at 736 on the primary and at 936 on the second.
constexpr double kDockHeight = 60;

// Records every change of its flag, so a test sees docks that were touched needlessly.
class FakeReservingDock final : public ReservingDock {
 public:
  explicit FakeReservingDock(const Screen& screen)
      : screen_(screen),
        resting_(screen.frame.midX() - 200, screen.frame.minY(), 400, kDockHeight) {}
  const Screen& screen() const override { return screen_; }
  const Rect& restingFrame() const override { return resting_; }
  bool suppressed() const override { return suppressed_; }
  // Stands on another program's panel this high instead of on the screen's edge.
  void standAbove(double panelHeight) { resting_ = resting_.offsetBy(0, panelHeight); }
  void setSuppressed(bool suppressed) override {
    suppressed_ = suppressed;
    changes.push_back(suppressed);
  }

  std::vector<bool> changes;

 private:
  Screen screen_;
  Rect resting_;
  bool suppressed_ = false;
};

class WindowReservationTest : public ::testing::Test, protected FakeDockServices {
 protected:
  WindowReservationTest() {
    displays.list = {kPrimary, kSecond};
    workspace.addApplication(10, "org.example.Editor", "Editor");
    workspace.addApplication(processes.currentPid, "com.orrin.quayline", "Quayline");
    start();
    reservation = std::make_unique<WindowReservation>(*registry, preferences, displays,
                                                      accessibility, processes);
    reservation->setDocks([this] {
      return std::vector<ReservingDock*>{&primaryDock, &secondDock};
    });
  }

  FakeAccessibility::NodePtr addWindow(const Rect& frame, ProcessId pid = 10) {
    auto window = accessibility.addWindow(pid, "Window", frame);
    refresh();
    return window;
  }
  void move(const FakeAccessibility::NodePtr& window, const Rect& frame) {
    window->attributes.insert_or_assign(std::string(AX::position), frame.origin);
    window->attributes.insert_or_assign(std::string(AX::size), frame.size);
    refresh();
  }
  std::vector<Size> sizesWritten() const {
    std::vector<Size> sizes;
    for (const auto& write : accessibility.writes) {
      if (write.attribute == AX::size) {
        sizes.push_back(std::get<Size>(write.value));
      }
    }
    return sizes;
  }

  FakeProcesses processes;
  FakeReservingDock primaryDock{kPrimary};
  FakeReservingDock secondDock{kSecond};
  std::unique_ptr<WindowReservation> reservation;
};

TEST_F(WindowReservationTest, HidesOnlyTheDockOfTheScreenHoldingTheWindowsMidpoint) {
  preferences.setMaximizedWindowBehavior(Behavior::hideDock);
  // Already there when watching starts: the current list counts.
  auto window = addWindow(Rect(1000, 400, 1200, 600));
  EXPECT_TRUE(secondDock.changes.empty());
  reservation->start();
  EXPECT_EQ(secondDock.changes, std::vector<bool>{true});
  EXPECT_TRUE(primaryDock.changes.empty());

  // Mostly on the second screen but reaching into the primary: still the second's.
  move(window, Rect(950, 400, 1200, 600));
  reservation->apply();
  EXPECT_EQ(secondDock.changes, std::vector<bool>{true});

  // Its midpoint on the primary's right edge belongs to the second screen, where it ends above
  // the line.
  move(window, Rect(100, 0, 1800, 800));
  EXPECT_EQ(secondDock.changes, (std::vector<bool>{true, false}));
  EXPECT_FALSE(primaryDock.suppressed());
  move(window, Rect(-799, 0, 1800, 800));
  EXPECT_TRUE(primaryDock.suppressed());
  EXPECT_FALSE(secondDock.suppressed());

  window->attributes.insert_or_assign(std::string(AX::minimized), true);
  refresh();
  EXPECT_EQ(primaryDock.changes, (std::vector<bool>{true, false}));
  EXPECT_TRUE(accessibility.writes.empty());
}

TEST_F(WindowReservationTest, CoveringNeedsNineTenthsOfTheScreenReachingPastTheLine) {
  preferences.setMaximizedWindowBehavior(Behavior::hideDock);
  reservation->start();
  auto window = addWindow(Rect(0, 0, 100, 100));
  struct Row {
    Rect frame;
    bool covers;
  };
  const Row rows[] = {
      {Rect(0, 0, 1000, 800), true},
      {Rect(50, 40, 900, 720), true},    // exactly nine tenths each way
      {Rect(50, 40, 899, 720), false},   // a point too narrow
      {Rect(50, 40, 900, 719), false},   // a point too short
      {Rect(0, 0, 1000, 736), false},    // ends on the line
      {Rect(0, 0, 1000, 736.5), true},   // half a point past it
      {Rect(0, 800, 1000, 800), false},  // starts below the screen
      {Rect(0, -100, 1000, 900), true},  // reaches above the screen
  };
  for (const Row& row : rows) {
    move(window, row.frame);
    EXPECT_EQ(primaryDock.suppressed(), row.covers) << row.frame;
  }
  EXPECT_FALSE(secondDock.suppressed());
}

TEST_F(WindowReservationTest, MinimizedOwnAndFramelessWindowsNeverCover) {
  preferences.setMaximizedWindowBehavior(Behavior::hideDock);
  accessibility.addWindow(10, "Minimized", Rect(0, 0, 1000, 800))
      ->attributes.insert_or_assign(std::string(AX::minimized), true);
  accessibility.addWindow(processes.currentPid, "Settings", Rect(0, 0, 1000, 800));
  accessibility.addWindow(10, "No frame");
  refresh();
  ASSERT_EQ(registry->windows().size(), 3u);
  reservation->start();
  EXPECT_FALSE(primaryDock.suppressed());

  preferences.setMaximizedWindowBehavior(Behavior::resizeWindow);
  EXPECT_TRUE(accessibility.writes.empty());
}

TEST_F(WindowReservationTest, ShrinksCoveringWindowsToEndFourPointsAboveTheDock) {
  reservation->start();  // shrinking is the default
  auto primary = addWindow(Rect(0, 0, 1000, 800));
  auto second = addWindow(Rect(1000, 400, 1200, 600));
  EXPECT_EQ(sizesWritten(), (std::vector<Size>{{1000, 736}, {1200, 536}}));

  // Once shrunk they cover nothing, and nothing is written again.
  accessibility.writes.clear();
  refresh();
  reservation->apply();
  EXPECT_TRUE(accessibility.writes.empty());
  EXPECT_TRUE(primaryDock.changes.empty());
  EXPECT_TRUE(secondDock.changes.empty());

  // A window that would keep 100 points or less is left alone.
  move(primary, Rect(0, 636, 1000, 720));
  EXPECT_TRUE(accessibility.writes.empty());
  move(primary, Rect(0, 635, 1000, 720));
  EXPECT_EQ(sizesWritten(), (std::vector<Size>{{1000, 101}}));

  // A refused resize changes nothing else: the dock stays.
  accessibility.writes.clear();
  accessibility.refusedWrites.insert(std::string(AX::size));
  move(second, Rect(1000, 400, 1200, 600));
  EXPECT_EQ(sizesWritten(), (std::vector<Size>{{1200, 536}}));
  EXPECT_TRUE(secondDock.changes.empty());
}

TEST_F(WindowReservationTest, ADockAboveAnotherPanelKeepsWindowsAboveItself) {
  primaryDock.standAbove(30);
  reservation->start();
  addWindow(Rect(0, 0, 1000, 800));
  EXPECT_EQ(sizesWritten(), (std::vector<Size>{{1000, 706}}));
}

TEST_F(WindowReservationTest, SettingChangesReapplyAndAutoHideIgnoresEverything) {
  addWindow(Rect(0, 0, 1000, 800));
  preferences.setMaximizedWindowBehavior(Behavior::ignore);
  reservation->start();
  EXPECT_TRUE(primaryDock.changes.empty());

  preferences.setMaximizedWindowBehavior(Behavior::hideDock);
  EXPECT_EQ(primaryDock.changes, std::vector<bool>{true});
  // Docks already as wanted are not touched again.
  reservation->apply();
  refresh();
  EXPECT_EQ(primaryDock.changes, std::vector<bool>{true});

  preferences.setAutohide(true);
  EXPECT_EQ(primaryDock.changes, (std::vector<bool>{true, false}));
  preferences.setMaximizedWindowBehavior(Behavior::resizeWindow);
  EXPECT_TRUE(accessibility.writes.empty());

  preferences.setAutohide(false);
  EXPECT_EQ(sizesWritten(), (std::vector<Size>{{1000, 736}}));
  EXPECT_EQ(primaryDock.changes, (std::vector<bool>{true, false}));
  EXPECT_TRUE(secondDock.changes.empty());
}

}  // namespace
}  // namespace quayline
