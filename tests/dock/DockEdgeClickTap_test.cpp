#include "dock/DockEdgeClickTap.h"

#include <gtest/gtest.h>

#include <vector>

#include "dock/DockEdgeAction.h"
#include "dock/DockEdgeNotice.h"
#include "fakes/FakeDesktopActions.h"
#include "fakes/FakeDisplays.h"
#include "fakes/FakeMouseTap.h"
#include "fakes/FakePreferenceDomains.h"
#include "fakes/FakeProcesses.h"
#include "fakes/FakeScheduler.h"
#include "fakes/FakeSystemLog.h"
#include "model/SystemDockPreferences.h"

namespace quayline {
namespace {

using Geometry = DockEdgeClickTap::DockGeometry;
using Window = MouseTap::Window;

constexpr std::uint64_t kPanel = 0x400001;

// A 1000 × 800 primary screen with a 400-point dock whose row is 78 points high, and a second
// screen to its right with a 200-point dock.
struct EdgeTap : ::testing::Test {
  EdgeTap() {
    displays.list = {Screen{1, Rect(0, 0, 1000, 800), Rect(0, 0, 1000, 800), 1},
                     Screen{2, Rect(1000, 0, 600, 800), Rect(1000, 0, 600, 800), 1}};
    docks = {Geometry{Rect(0, 0, 1000, 83), Size{400, 78}, kPanel},
             Geometry{Rect(1000, 0, 600, 83), Size{200, 78}, kPanel + 1}};
    tap.geometry = [this] { return docks; };
    tap.leadingAction = [this] { return leading; };
    tap.trailingAction = [this] { return trailing; };
    tap.perform = [this](DockEdgeAction action) { performed.push_back(action); };
    tap.installed = true;
    tap.createTapIfNeeded();
    tap.publish();
  }

  // A click at global coordinates (y down from the primary screen's top); whether its press and
  // its release were swallowed.
  std::pair<bool, bool> click(double x, double y) {
    const bool down = mouse.down(Point{x, y});
    const bool up = mouse.up(Point{x, y});
    scheduler.runPosted();
    return {down, up};
  }

  FakeMouseTap mouse;
  FakeDisplays displays;
  FakeScheduler scheduler;
  FakeSystemLog log;
  DockEdgeClickTap tap{mouse, displays, scheduler, log};
  std::vector<Geometry> docks;
  DockEdgeAction leading = DockEdgeAction::showDesktop;
  DockEdgeAction trailing = DockEdgeAction::missionControl;
  std::vector<DockEdgeAction> performed;
};

TEST_F(EdgeTap, TheBandBesideEachDockAsksForThatEndsAction) {
  const DockEdgeClickTap::Snapshot snapshot = *tap.snapshot();
  struct Row {
    Point point;  // framework space, y up
    std::optional<DockEdgeAction> expected;
  };
  const Row rows[] = {
      {{10, 10}, DockEdgeAction::showDesktop},       // left of the first dock
      {{299.9, 77.9}, DockEdgeAction::showDesktop},  // just beside its chrome, top of the row
      {{300, 10}, std::nullopt},                     // the chrome's left edge is inside it
      {{699.9, 10}, std::nullopt},                   // inside the chrome
      {{700, 10}, DockEdgeAction::missionControl},   // its right edge is outside
      {{999, 0}, DockEdgeAction::missionControl},    // the band's bottom edge is inside
      {{10, 78}, std::nullopt},                      // above the row
      {{1050, 10}, DockEdgeAction::showDesktop},     // beside the second screen's dock
      {{1500, 10}, DockEdgeAction::missionControl},
      {{1300, 10}, std::nullopt},  // its chrome
  };
  for (const Row& row : rows) {
    EXPECT_EQ(DockEdgeClickTap::bandAction(snapshot, row.point), row.expected) << row.point;
  }

  // A dock with an empty chrome (auto-hidden or not laid out) has no band.
  docks[0].chromeSize = Size{0, 78};
  tap.publish();
  EXPECT_EQ(DockEdgeClickTap::bandAction(*tap.snapshot(), Point{10, 10}), std::nullopt);
}

TEST_F(EdgeTap, ABareDesktopClickActsOnceAndSwallowsItsReleaseDebouncedOnTheMonotonicClock) {
  // Global y 790 is 10 points above the primary screen's bottom.
  EXPECT_EQ(click(10, 790), std::make_pair(true, true));
  EXPECT_EQ(performed, std::vector{DockEdgeAction::showDesktop});
  EXPECT_EQ(log.lines.back().message, "edge click x=10 -> Show Desktop");

  // 0.2 s later: swallowed, down and up, and nothing runs — even with the wall clock stepped
  // back an hour in between.
  scheduler.wallEpoch_ -= 3600;
  scheduler.advance(0.2);
  EXPECT_EQ(click(950, 790), std::make_pair(true, true));
  EXPECT_EQ(performed.size(), 1u);

  // The debounce counts from the last action, not the last click.
  scheduler.advance(0.2);
  EXPECT_EQ(click(950, 790), std::make_pair(true, true));
  EXPECT_EQ(performed, (std::vector{DockEdgeAction::showDesktop, DockEdgeAction::missionControl}));

  // The release after a swallowed one passes again.
  EXPECT_FALSE(mouse.up(Point{950, 790}));
}

TEST_F(EdgeTap, ClicksOutsideTheBandOrWithNothingChosenPassUntouched) {
  trailing = DockEdgeAction::none;
  tap.publish();
  EXPECT_EQ(click(950, 790), std::make_pair(false, false));  // "Nothing" at the right end
  EXPECT_EQ(click(500, 790), std::make_pair(false, false));  // on the dock
  EXPECT_EQ(click(10, 700), std::make_pair(false, false));   // above the band
  EXPECT_TRUE(performed.empty());
  // The window under the pointer is looked for only inside a band with an action.
  EXPECT_EQ(mouse.windowQueries, 0);

  // A setting changed while running holds from the next click on.
  leading = DockEdgeAction::stageManager;
  tap.publish();
  click(10, 790);
  EXPECT_EQ(performed, std::vector{DockEdgeAction::stageManager});
}

TEST_F(EdgeTap, OnlyTheDesktopAndTheDocksOwnPanelsLeaveTheBandBare) {
  struct Row {
    std::optional<Window> under;
    bool swallowed;
  };
  const Row rows[] = {
      {std::nullopt, true},               // the bare root window
      {Window{0x9000, true}, true},       // a window drawing the desktop
      {Window{kPanel + 1, false}, true},  // a dock panel (magnified past its resting frame)
      {Window{0x9001, false}, false},     // any other window, this program's settings included
  };
  for (const Row& row : rows) {
    mouse.under = row.under;
    scheduler.advance(1);
    EXPECT_EQ(click(10, 790), std::make_pair(row.swallowed, row.swallowed))
        << (row.under ? row.under->number : 0);
  }
  EXPECT_EQ(performed.size(), 3u);
}

TEST_F(EdgeTap, ARefusedTapIsRetriedEverySecondThenEveryFiveAndOnEveryRebuild) {
  FakeMouseTap refusing;
  refusing.refuse = true;
  DockEdgeClickTap other(refusing, displays, scheduler, log);
  other.installed = true;
  other.createTapIfNeeded();
  EXPECT_EQ(log.lines.back().message, "edge tap create failed (button taken, retry 0)");
  scheduler.advance(9.0);
  EXPECT_EQ(refusing.creations, 10);
  scheduler.advance(4.9);
  EXPECT_EQ(refusing.creations, 10);
  scheduler.advance(0.1);
  EXPECT_EQ(refusing.creations, 11);

  // A rebuild of the dock windows tries at once and starts counting again.
  other.rearm();
  EXPECT_EQ(refusing.creations, 12);
  EXPECT_EQ(other.installRetries, 1);

  refusing.refuse = false;
  scheduler.advance(1.0);
  EXPECT_TRUE(other.hasTap());
  EXPECT_EQ(log.lines.back().message, "edge tap created");
  scheduler.advance(60);
  EXPECT_EQ(refusing.creations, 13);

  // A disabled tap is enabled again by the next rebuild.
  refusing.state->enabled = false;
  other.rearm();
  EXPECT_TRUE(refusing.state->enabled);
}

TEST(DockEdgeActions, EachActionGoesToItsGestureAndAnUnavailableOneDoesNothing) {
  FakeDesktopActions desktop;
  FakePreferenceDomains domains;
  FakeSystemLog log;
  DockEdgeActions actions(desktop, domains, log);
  actions.perform(DockEdgeAction::none);
  actions.perform(DockEdgeAction::showDesktop);
  actions.perform(DockEdgeAction::showDesktop);
  actions.perform(DockEdgeAction::missionControl);
  EXPECT_EQ(desktop.showDesktopToggles, 2);
  EXPECT_FALSE(desktop.showingDesktop);
  EXPECT_EQ(desktop.overviews, 1);

  // Stage Manager: anything but a Boolean true turns it on, true turns it off.
  const auto stage = [&] {
    return domains.copy(DockEdgeActions::windowManagerDomain, DockEdgeActions::stageManagerKey);
  };
  domains.seed(DockEdgeActions::windowManagerDomain, DockEdgeActions::stageManagerKey,
               PropertyValue("yes"));
  actions.perform(DockEdgeAction::stageManager);
  EXPECT_EQ(stage(), PropertyValue(true));
  actions.perform(DockEdgeAction::stageManager);
  EXPECT_EQ(stage(), PropertyValue(false));
  EXPECT_EQ(domains.synchronizeCount(DockEdgeActions::windowManagerDomain), 2);

  desktop.stageReason = "no stage manager here";
  desktop.overviewReason = "no overview here";
  actions.perform(DockEdgeAction::stageManager);
  actions.perform(DockEdgeAction::missionControl);
  EXPECT_EQ(stage(), PropertyValue(false));
  EXPECT_EQ(desktop.overviews, 1);
  EXPECT_EQ(actions.unavailableReason(DockEdgeAction::stageManager), "no stage manager here");
  EXPECT_EQ(actions.unavailableReason(DockEdgeAction::showDesktop), std::nullopt);
  EXPECT_EQ(log.lines.back().message, "Mission Control is unavailable: no overview here");
}

TEST(DockEdgeNotice, AskedOncePerSideAndQuittingStoresNothing) {
  FakePreferenceDomains domains;
  FakeProcesses processes;
  FakeSystemLog log;
  std::vector<std::string> shown;
  DockEdgeNotice::Answer answer;
  const auto run = [&] {
    return DockEdgeNotice::runIfNeeded(domains, processes, log, [&](const DockEdgeNotice::Text& t) {
      shown.push_back(t.message);
      return answer;
    });
  };
  const auto accepted = [&] {
    return domains.copy(PreferenceDomains::application, DockEdgeNotice::acceptedKey);
  };

  // At the bottom: no notice, nothing logged.
  EXPECT_TRUE(run());
  EXPECT_TRUE(shown.empty());
  EXPECT_TRUE(log.lines.empty());

  domains.seed("com.apple.dock", "orientation", PropertyValue("left"));
  EXPECT_FALSE(run());
  EXPECT_EQ(accepted(), std::nullopt);
  EXPECT_EQ(log.lines.back().message, "dock edge: user quit rather than move to the bottom");

  answer.accepted = true;
  EXPECT_TRUE(run());
  EXPECT_EQ(accepted(), PropertyValue("left"));
  EXPECT_TRUE(run());  // the same side again: no notice
  EXPECT_EQ(shown,
            (std::vector<std::string>{"Your Dock is on the left", "Your Dock is on the left"}));

  domains.seed("com.apple.dock", "orientation", PropertyValue("right"));
  answer.alsoMoveSystemDock = true;
  EXPECT_TRUE(run());
  EXPECT_EQ(shown.back(), "Your Dock is on the right");
  EXPECT_EQ(SystemDockPreferences::orientation(domains), SystemDockPreferences::Edge::bottom);
  EXPECT_EQ(accepted(), PropertyValue("right"));
  EXPECT_EQ(log.lines.back().message, "dock edge: accepted a bottom dock, moved Apple's too: 1");
}

}  // namespace
}  // namespace quayline
