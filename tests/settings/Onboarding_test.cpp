#include "settings/Onboarding.h"

#include <gtest/gtest.h>

#include "app/AccessibilityRecovery.h"
#include "fakes/FakeApplicationBundle.h"
#include "fakes/FakeInstanceGuard.h"
#include "fakes/FakePaths.h"
#include "fakes/FakePreferenceDomains.h"
#include "fakes/FakePrivacyPermissions.h"
#include "fakes/FakeProcesses.h"
#include "fakes/FakeScheduler.h"
#include "fakes/FakeSystemLog.h"
#include "fakes/FakeWorkspace.h"
#include "system/Relaunch.h"
#include "system/SystemDockVisibility.h"

namespace quayline {
namespace {

using P = SystemPermission;

class OnboardingTest : public ::testing::Test {
 protected:
  bool completed() {
    const auto value = domains.copy(PreferenceDomains::application, Onboarding::completedKey);
    return value && value->boolean() && *value->boolean();
  }

  FakePrivacyPermissions permissions;
  FakePreferenceDomains domains;
  FakeScheduler scheduler;
  FakeProcesses processes;
  FakeWorkspace workspace;
  FakeApplicationBundle bundle;
  FakeInstanceGuard instance;
  FakePaths paths;
  FakeSystemLog log;
  SystemDockVisibility systemDock{domains, processes, bundle, paths, log};
  Relaunch relaunch{{processes, instance, systemDock, scheduler, [] {}, [](const std::string&) {}},
                    "/usr/bin/quayline"};
  AccessibilityRecovery recovery{processes, workspace, bundle, relaunch};
  Onboarding onboarding{{permissions, domains, scheduler, recovery}};
};

TEST_F(OnboardingTest, ShowsAtLaunchOnlyWithoutAccessibilityAndWithoutTheMovePrompt) {
  EXPECT_FALSE(onboarding.shouldShowAtLaunch([] { return true; }));
  EXPECT_TRUE(onboarding.shouldShowAtLaunch([] { return false; }));
  permissions.grant(P::accessibility);
  EXPECT_FALSE(onboarding.shouldShowAtLaunch([] { return false; }));
  EXPECT_FALSE(completed());
}

TEST_F(OnboardingTest, AGrantThatDoesNotArriveWithin25SecondsOfAskingIsStuck) {
  onboarding.begin();
  scheduler.advance(60);  // not stuck without having asked
  EXPECT_FALSE(onboarding.stuck());

  onboarding.press(P::accessibility);
  EXPECT_EQ(workspace.requests.back().operation, "openURL");
  scheduler.advance(25);
  EXPECT_FALSE(onboarding.stuck());
  scheduler.advance(1);
  EXPECT_TRUE(onboarding.stuck());
  EXPECT_FALSE(onboarding.canContinue());

  // Its buttons: open the settings page again, or clear and relaunch.
  onboarding.openSystemSettings();
  EXPECT_EQ(workspace.requests.back().arguments.front(), AccessibilityRecovery::settingsURL);
  bundle.info["CFBundleIdentifier"] = PropertyValue("com.orrin.quayline");
  onboarding.clearAndReopen();
  scheduler.runPosted();
  EXPECT_EQ(processes.launchesOf("/usr/bin/quayline").size(), 1u);  // the new copy
}

TEST_F(OnboardingTest, TheGrantClearsStuckEnablesContinueAndClosesTheWindow) {
  int closed = 0;
  onboarding.granted = [&] { ++closed; };
  onboarding.begin();
  onboarding.press(P::accessibility);
  scheduler.advance(30);
  ASSERT_TRUE(onboarding.stuck());

  permissions.grant(P::accessibility);
  scheduler.advance(1);
  EXPECT_FALSE(onboarding.stuck());
  EXPECT_TRUE(onboarding.canContinue());
  EXPECT_EQ(closed, 1);
  EXPECT_TRUE(completed());
  EXPECT_FALSE(onboarding.polling());
}

TEST_F(OnboardingTest, SkipFinishesAtOnceAndRowsTagAccessibilityAsRequired) {
  onboarding.begin();
  const auto rows = onboarding.rows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].tag, "Required");
  EXPECT_EQ(rows[1].permission, P::screenRecording);
  EXPECT_EQ(rows[1].tag, "");
  onboarding.press(P::screenRecording);
  EXPECT_EQ(permissions.requests, std::vector<P>{P::screenRecording});

  onboarding.finish();
  EXPECT_TRUE(completed());
  EXPECT_FALSE(onboarding.polling());
  EXPECT_EQ(scheduler.pendingTimers(), 0u);
}

}  // namespace
}  // namespace quayline
