#include "app/AccessibilityRecovery.h"

#include <gtest/gtest.h>

#include "fakes/FakeApplicationBundle.h"
#include "fakes/FakeProcesses.h"
#include "fakes/FakeScheduler.h"
#include "fakes/FakeWorkspace.h"

namespace quayline {
namespace {

class AccessibilityRecoveryTest : public ::testing::Test {
 protected:
  AccessibilityRecovery make() {
    return AccessibilityRecovery(processes, workspace, bundle, scheduler,
                                 "/opt/quayline/bin/quayline", [this] { ++terminations; });
  }
  FakeProcesses processes;
  FakeWorkspace workspace;
  FakeApplicationBundle bundle;
  FakeScheduler scheduler;
  int terminations = 0;
};

TEST_F(AccessibilityRecoveryTest, ResetsThePermissionThenStartsANewInstanceAndEndsThisOne) {
  bundle.info["CFBundleIdentifier"] = PropertyValue("com.orrin.quayline");
  make().resetAndRelaunch();
  ASSERT_EQ(processes.launches.size(), 2u);
  EXPECT_EQ(processes.launches[0].executable, "/usr/bin/tccutil");
  EXPECT_EQ(processes.launches[0].arguments,
            (std::vector<std::string>{"reset", "Accessibility", "com.orrin.quayline"}));
  EXPECT_EQ(processes.launches[1].executable, "/opt/quayline/bin/quayline");
  EXPECT_EQ(terminations, 0);  // from the main loop, after the start was asked for
  scheduler.runPosted();
  EXPECT_EQ(terminations, 1);
}

TEST_F(AccessibilityRecoveryTest, MissingToolStillRelaunchesAndMissingIdentifierDoesNothing) {
  bundle.info["CFBundleIdentifier"] = PropertyValue("com.orrin.quayline");
  processes.failingExecutables.insert("/usr/bin/tccutil");
  make().resetAndRelaunch();
  EXPECT_EQ(processes.launchesOf("/opt/quayline/bin/quayline").size(), 1u);
  scheduler.runPosted();
  EXPECT_EQ(terminations, 1);

  processes.launches.clear();
  bundle.info.erase("CFBundleIdentifier");
  make().resetAndRelaunch();
  bundle.info["CFBundleIdentifier"] = PropertyValue(true);  // not a string
  make().resetAndRelaunch();
  scheduler.runPosted();
  EXPECT_TRUE(processes.launches.empty());
  EXPECT_EQ(terminations, 1);
}

TEST_F(AccessibilityRecoveryTest, OpensTheAccessibilityPrivacySettings) {
  make().openSettings();
  ASSERT_EQ(workspace.requests.size(), 1u);
  EXPECT_EQ(workspace.requests[0].operation, "openURL");
  EXPECT_EQ(workspace.requests[0].arguments,
            std::vector<std::string>{
                "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility"});
}

}  // namespace
}  // namespace quayline
