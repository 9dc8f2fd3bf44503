#include "app/AccessibilityRecovery.h"

#include <gtest/gtest.h>

#include "fakes/FakeApplicationBundle.h"
#include "fakes/FakeInstanceGuard.h"
#include "fakes/FakePaths.h"
#include "fakes/FakePreferenceDomains.h"
#include "fakes/FakeProcesses.h"
#include "fakes/FakeScheduler.h"
#include "fakes/FakeSystemLog.h"
#include "fakes/FakeWorkspace.h"
#include "system/Relaunch.h"
#include "system/SystemDockVisibility.h"

namespace quayline {
namespace {

class AccessibilityRecoveryTest : public ::testing::Test {
 protected:
  AccessibilityRecovery make() {
    return AccessibilityRecovery(processes, workspace, bundle, relaunch);
  }
  // The new copy claims the display as soon as it is started.
  void runNewCopy() {
    const auto launched = processes.launchesOf("/opt/quayline/bin/quayline");
    if (!launched.empty()) {
      instance.holderPid = launched.back().pid;
    }
    scheduler.advance(Relaunch::checkInterval);
  }
  FakeProcesses processes;
  FakeWorkspace workspace;
  FakeApplicationBundle bundle;
  FakeScheduler scheduler;
  FakeInstanceGuard instance;
  FakePreferenceDomains domains;
  FakePaths paths;
  FakeSystemLog log;
  SystemDockVisibility systemDock{domains, processes, bundle, paths, log};
  int terminations = 0;
  Relaunch relaunch{{processes, instance, systemDock, scheduler, [this] { ++terminations; },
                     [](const std::string&) {}},
                    "/opt/quayline/bin/quayline"};
};

TEST_F(AccessibilityRecoveryTest, ResetsThePermissionThenStartsANewInstanceAndEndsThisOne) {
  bundle.info["CFBundleIdentifier"] = PropertyValue("com.orrin.quayline");
  make().resetAndRelaunch();
  ASSERT_EQ(processes.launches.size(), 2u);
  EXPECT_EQ(processes.launches[0].executable, "/usr/bin/tccutil");
  EXPECT_EQ(processes.launches[0].arguments,
            (std::vector<std::string>{"reset", "Accessibility", "com.orrin.quayline"}));
  EXPECT_EQ(processes.launches[1].executable, "/opt/quayline/bin/quayline");
  EXPECT_EQ(terminations, 0);  // only once the new copy runs
  runNewCopy();
  EXPECT_EQ(terminations, 1);
}

TEST_F(AccessibilityRecoveryTest, MissingToolStillRelaunchesAndMissingIdentifierDoesNothing) {
  bundle.info["CFBundleIdentifier"] = PropertyValue("com.orrin.quayline");
  processes.failingExecutables.insert("/usr/bin/tccutil");
  make().resetAndRelaunch();
  EXPECT_EQ(processes.launchesOf("/opt/quayline/bin/quayline").size(), 1u);
  runNewCopy();
  EXPECT_EQ(terminations, 1);

  processes.launches.clear();
  bundle.info.erase("CFBundleIdentifier");
  make().resetAndRelaunch();
  bundle.info["CFBundleIdentifier"] = PropertyValue(true);  // not a string
  make().resetAndRelaunch();
  runNewCopy();
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
