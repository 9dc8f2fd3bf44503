#include "app/DockWindowList.h"

#include <gtest/gtest.h>

#include "app/DockDisplays.h"
#include "app/Preferences.h"
#include "fakes/FakeApplicationAppearance.h"
#include "fakes/FakeDisplays.h"
#include "fakes/FakeLoginItem.h"
#include "fakes/FakePreferenceDomains.h"
#include "fakes/FakeScheduler.h"

namespace quayline {
namespace {

// A dock window that writes what happens to it into a shared log ("show 1#0" is window 0
// shown on display 1).
class RecordingDockWindow final : public DockWindow {
 public:
  RecordingDockWindow(const Screen& screen, int serial, std::vector<std::string>& log)
      : screen_(screen), serial_(serial), log_(log) {}
  const Screen& screen() const override { return screen_; }
  void moveToScreen(const Screen& screen) override {
    screen_ = screen;
    note("move");
  }
  void show() override { note("show"); }
  void retire() override { note("retire"); }

 private:
  void note(const char* what) {
    log_.push_back(std::string(what) + " " + std::to_string(screen_.displayNumber) + "#" +
                   std::to_string(serial_));
  }
  Screen screen_;
  int serial_;
  std::vector<std::string>& log_;
};

TEST(AssignDockWindowsTest, ReusesByDisplayNumberThenInOldOrder) {
  struct Row {
    std::vector<DisplayNumber> old;
    std::vector<DisplayNumber> targets;
    DockAssignment expected;
  };
  const std::vector<Row> rows{
      {{}, {1, 2}, {{std::nullopt, std::nullopt}, {}}},
      {{1, 2}, {1, 2}, {{0, 1}, {}}},
      {{1, 2}, {2, 1}, {{1, 0}, {}}},
      // A screen unplugged: its window retires, the other keeps its own.
      {{1, 2}, {2}, {{1}, {0}}},
      // A new screen with no window of its own takes the first one left over.
      {{1, 2}, {3, 2}, {{0, 1}, {}}},
      {{1}, {2, 1}, {{std::nullopt, 0}, {}}},
      {{1, 2, 3}, {}, {{}, {0, 1, 2}}},
      // Equal numbers match once each.
      {{5, 5}, {5}, {{0}, {1}}},
  };
  for (const auto& row : rows) {
    const auto got = assignDockWindows(row.old, row.targets);
    EXPECT_EQ(got.reused, row.expected.reused) << ::testing::PrintToString(row.targets);
    EXPECT_EQ(got.retired, row.expected.retired) << ::testing::PrintToString(row.targets);
  }
}

class DockDisplaysTest : public ::testing::Test {
 protected:
  const Screen left{1, Rect(0, 0, 1000, 800), Rect(0, 0, 1000, 800), 1};
  const Screen right{2, Rect(1000, 0, 800, 600), Rect(1000, 0, 800, 600), 1};

  DockDisplaysTest() { changeScreens({left, right}); }

  void changeScreens(std::vector<Screen> screens) {
    displays.list = std::move(screens);
    displays.screensChanged();
  }

  std::unique_ptr<DockDisplays> make() {
    return std::make_unique<DockDisplays>(
        preferences, displays, scheduler, [this](const Screen& screen) {
          return std::make_unique<RecordingDockWindow>(screen, created++, log);
        });
  }
  std::vector<DisplayNumber> shown(const DockDisplays& docks) {
    std::vector<DisplayNumber> numbers;
    for (const auto& window : docks.windows()) {
      numbers.push_back(window->screen().displayNumber);
    }
    return numbers;
  }
  std::vector<std::string> takeLog() { return std::exchange(log, {}); }

  FakePreferenceDomains domains;
  FakeLoginItem loginItem;
  FakeApplicationAppearance appearance;
  Preferences preferences{domains, loginItem, appearance};
  FakeDisplays displays;
  FakeScheduler scheduler;
  std::vector<std::string> log;
  int created = 0;
};

TEST_F(DockDisplaysTest, UnpluggingKeepsTheRemainingDisplaysWindowAndReplugCreatesOne) {
  auto docks = make();
  docks->start();
  EXPECT_EQ(takeLog(), (std::vector<std::string>{"show 1#0", "show 2#1"}));

  changeScreens({right});
  EXPECT_EQ(shown(*docks), std::vector<DisplayNumber>{2});
  EXPECT_EQ(takeLog(), (std::vector<std::string>{"move 2#1", "retire 1#0"}));

  changeScreens({left, right});
  EXPECT_EQ(takeLog(), (std::vector<std::string>{"show 1#2", "move 2#1"}));

  changeScreens({});  // no screens: the windows stay as they are
  EXPECT_EQ(shown(*docks), (std::vector<DisplayNumber>{1, 2}));
  EXPECT_TRUE(takeLog().empty());
}

TEST_F(DockDisplaysTest, FollowsTheTargetSettingAndThePointer) {
  auto docks = make();
  docks->start();
  takeLog();

  preferences.setWindowDisplayTarget(WindowDisplayTarget::primaryDisplay);
  EXPECT_EQ(shown(*docks), (std::vector<DisplayNumber>{1, 2}));  // applied from the main loop
  scheduler.runPosted();
  EXPECT_EQ(shown(*docks), std::vector<DisplayNumber>{1});
  EXPECT_EQ(takeLog(), (std::vector<std::string>{"move 1#0", "retire 2#1"}));
  EXPECT_FALSE(docks->followsPointer());

  displays.pointer = {1500, 100};
  preferences.setWindowDisplayTarget(WindowDisplayTarget::followsPointer);
  scheduler.runPosted();
  EXPECT_TRUE(docks->followsPointer());
  EXPECT_EQ(takeLog(), std::vector<std::string>{"move 2#0"});  // the one window moves along

  scheduler.advance(0.2);
  EXPECT_TRUE(takeLog().empty());  // the pointer stayed
  displays.pointer = {100, 100};
  scheduler.advance(0.2);
  EXPECT_EQ(takeLog(), std::vector<std::string>{"move 1#0"});

  preferences.setWindowDisplayTarget(WindowDisplayTarget::allDisplays);
  scheduler.runPosted();
  EXPECT_FALSE(docks->followsPointer());
  EXPECT_EQ(scheduler.pendingTimers(), 0u);
  EXPECT_EQ(takeLog(), (std::vector<std::string>{"move 1#0", "show 2#2"}));
}

TEST_F(DockDisplaysTest, PointerMonitorReportsLeavingAndEnteringScreens) {
  int changes = 0;
  displays.pointer = {100, 100};
  PointerScreenMonitor monitor(displays, scheduler, [&] { ++changes; });
  EXPECT_EQ(monitor.lastDisplayID(), 1u);
  displays.pointer = {5000, 5000};
  scheduler.advance(0.2);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(monitor.lastDisplayID(), std::nullopt);
  scheduler.advance(0.2);
  EXPECT_EQ(changes, 1);  // none to none is no change
  displays.pointer = {1200, 100};
  scheduler.advance(0.2);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(monitor.lastDisplayID(), 2u);
}

TEST_F(DockDisplaysTest, DestroyedBeforeAPostedChangeRunsIsNotCalled) {
  auto docks = make();
  docks->start();
  preferences.setWindowDisplayTarget(WindowDisplayTarget::primaryDisplay);
  docks.reset();
  scheduler.runPosted();  // would touch the destroyed object
  SUCCEED();
}

}  // namespace
}  // namespace quayline
