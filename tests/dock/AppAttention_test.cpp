#include "dock/AppAttention.h"

#include <gtest/gtest.h>

#include "fakes/FakeDisplays.h"
#include "fakes/FakeScheduler.h"
#include "fakes/FakeSystemLog.h"
#include "fakes/FakeWorkspace.h"

namespace quayline {
namespace {

using Kind = WorkspaceNotification::Kind;

class AppAttentionTest : public ::testing::Test {
 protected:
  AppAttentionTest() {
    displays.list = {left, right};
    displays.pointer = {500, 400};
  }
  RunningApp app(const std::string& bundle = "com.example.App") {
    RunningApp result;
    result.pid = 42;
    result.bundleIdentifier = bundle;
    return result;
  }
  std::vector<std::string> lines() const { return log.messagesIn("attention"); }

  // Two side-by-side screens; the first listed is the main one.
  const Screen left{1, Rect(0, 0, 1000, 800), Rect(0, 0, 1000, 800), 1};
  const Screen right{2, Rect(1000, 0, 1000, 800), Rect(1000, 0, 1000, 800), 1};

  FakeWorkspace workspace;
  FakeDisplays displays;
  FakeScheduler scheduler;
  FakeSystemLog log;
  std::unique_ptr<AppAttention> attention =
      std::make_unique<AppAttention>(workspace, displays, scheduler, log);
};

TEST_F(AppAttentionTest, QuickLaunchBouncesForTheMinimumAndThenStops) {
  int changes = 0;
  auto observed = attention->observeLaunching([&](const auto&) { ++changes; });
  workspace.notify(Kind::willLaunchApplication, app());
  workspace.notify(Kind::willLaunchApplication, app());  // a restart publishes nothing new
  scheduler.advance(0.2);
  workspace.notify(Kind::didLaunchApplication, app());
  scheduler.advance(0.44);
  EXPECT_TRUE(attention->isLaunching("com.example.App", std::nullopt));
  scheduler.advance(0.02);
  EXPECT_TRUE(attention->launching().empty());
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(lines(), (std::vector<std::string>{"launch begin com.example.App",
                                               "launch begin com.example.App",
                                               "launch end com.example.App after 650 ms"}));
  EXPECT_EQ(scheduler.pendingTimers(), 0u);  // idle again: no sweep left running
}

TEST_F(AppAttentionTest, LaunchOrQuitAfterTheMinimumEndsAtOnce) {
  workspace.notify(Kind::willLaunchApplication, app("a"));
  workspace.notify(Kind::willLaunchApplication, app("b"));
  scheduler.advance(0.75);
  workspace.notify(Kind::didLaunchApplication, app("a"));
  workspace.notify(Kind::didTerminateApplication, app("b"));
  EXPECT_TRUE(attention->launching().empty());
  EXPECT_EQ(lines().back(), "launch end b after 750 ms");
  // Finishing an application that never began only clears it; nothing is logged.
  workspace.notify(Kind::didLaunchApplication, app("c"));
  EXPECT_EQ(lines().size(), 4u);
}

TEST_F(AppAttentionTest, SweepEndsFinishedLaunchesAndTimesOutTheRest) {
  workspace.addApplication(7, "com.example.Quiet", "Quiet").isFinishedLaunching = true;
  workspace.addApplication(8, "com.example.Slow", "Slow").isFinishedLaunching = false;
  workspace.notify(Kind::willLaunchApplication, app("com.example.Quiet"));
  workspace.notify(Kind::willLaunchApplication, app("com.example.Slow"));
  workspace.notify(Kind::willLaunchApplication, app("com.example.Gone"));
  scheduler.advance(0.5);
  workspace.addApplication(9, "com.example.Late", "Late").isFinishedLaunching = true;
  workspace.notify(Kind::willLaunchApplication, app("com.example.Late"));
  scheduler.advance(0.5);  // the sweep leaves a finished launch younger than the minimum
  EXPECT_EQ(lines().back(), "launch end com.example.Quiet after 1000 ms (expired)");
  scheduler.advance(1.0);
  EXPECT_EQ(lines().back(), "launch end com.example.Late after 1500 ms (expired)");
  scheduler.advance(18.5);  // 20 s is not yet more than the time-out
  EXPECT_EQ(attention->launching().size(), 2u);
  scheduler.advance(0.5);
  EXPECT_TRUE(attention->launching().empty());
  EXPECT_EQ(lines().back(), "launch end com.example.Slow after 21000 ms (expired, timed out)");
  EXPECT_EQ(scheduler.pendingTimers(), 0u);
}

TEST_F(AppAttentionTest, BouncesOnlyOnTheDisplayWhereTheLaunchBegan) {
  displays.pointer = {1500, 400};
  workspace.notify(Kind::willLaunchApplication, app("two"));
  displays.pointer = {5000, 5000};  // outside every screen: the main screen's
  displays.list = {right, left};
  workspace.notify(Kind::willLaunchApplication, app("main"));
  displays.list.clear();  // and no main screen at all: no display is recorded
  workspace.notify(Kind::willLaunchApplication, app("none"));

  EXPECT_TRUE(attention->isLaunching("two", 2));
  EXPECT_FALSE(attention->isLaunching("two", 1));
  EXPECT_TRUE(attention->isLaunching("two", std::nullopt));
  EXPECT_TRUE(attention->isLaunching("main", 2));
  EXPECT_FALSE(attention->isLaunching("none", 1));
  EXPECT_TRUE(attention->isLaunching("none", std::nullopt));
  displays.list = {left, right};  // unrecorded launches follow the main screen of the moment
  EXPECT_TRUE(attention->isLaunching("none", 1));
  EXPECT_FALSE(attention->isLaunching("absent", std::nullopt));
}

TEST_F(AppAttentionTest, IgnoresNotificationsWithoutABundleAndStopsWhenDestroyed) {
  workspace.notify(Kind::willLaunchApplication);
  workspace.notify(Kind::willLaunchApplication, app());
  workspace.notify(Kind::willLaunchApplication, RunningApp{});
  EXPECT_EQ(attention->launching().size(), 1u);
  workspace.notify(Kind::didLaunchApplication, app());  // leaves a deferred end pending
  attention.reset();
  EXPECT_EQ(scheduler.pendingTimers(), 0u);
  scheduler.advance(30);  // nothing calls back into the destroyed object
  EXPECT_EQ(log.lines.size(), 1u);
}

}  // namespace
}  // namespace quayline
