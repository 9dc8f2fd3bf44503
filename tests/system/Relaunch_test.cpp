#include "system/Relaunch.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "fakes/FakeApplicationBundle.h"
#include "fakes/FakeInstanceGuard.h"
#include "fakes/FakePaths.h"
#include "fakes/FakePreferenceDomains.h"
#include "fakes/FakeProcesses.h"
#include "fakes/FakeScheduler.h"
#include "fakes/FakeSystemLog.h"
#include "system/SystemDockVisibility.h"

namespace quayline {
namespace {

namespace fs = std::filesystem;
constexpr std::string_view dock = "com.apple.dock";
const std::string keelguard = "/opt/quayline/libexec/quayline/Keelguard";
const std::string newCopy = "/home/tester/.local/bin/quayline";

// A running Quayline that hid the system dock, over a user's own auto-hide settings.
class RelaunchTest : public testing::Test {
 protected:
  void SetUp() override {
    root =
        fs::temp_directory_path() / ("quayline-relaunch-" + std::to_string(::getpid()) + "-" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    paths.applicationSupport = root.string();
    bundle.info.insert_or_assign("QuaylineHidesSystemDock", PropertyValue(true));
    bundle.auxiliaryExecutables.insert_or_assign("Keelguard", keelguard);
    domains.seed(dock, "autohide-delay", PropertyValue(0.5));
    systemDock.hideAtLaunch();
    domains.clearWrites();
  }
  void TearDown() override { fs::remove_all(root); }

  std::optional<PropertyValue> delay() { return domains.copy(dock, "autohide-delay"); }

  fs::path root;
  FakePreferenceDomains domains;
  FakeProcesses processes;
  FakeApplicationBundle bundle;
  FakePaths paths;
  FakeSystemLog log;
  FakeScheduler scheduler;
  FakeInstanceGuard instance;
  SystemDockVisibility systemDock{domains, processes, bundle, paths, log};
  int quits = 0;
  std::vector<std::string> failures;
  Relaunch relaunch{{processes, instance, systemDock, scheduler, [this] { ++quits; },
                     [this](const std::string& message) { failures.push_back(message); }},
                    "/usr/bin/quayline"};
};

TEST_F(RelaunchTest, TheOldCopyRestoresFirstAndQuitsWithoutRestoringOnceTheNewOneHoldsTheDisplay) {
  const ProcessId watchdog = processes.launchesOf(keelguard).at(0).pid.value();
  std::size_t writesWhenKeelguardStopped = 99;
  processes.onTerminate = [&](ProcessId) {
    writesWhenKeelguardStopped = domains.writes(dock).size();
  };

  relaunch.relaunchFrom(newCopy);

  EXPECT_EQ(processes.terminations, std::vector<ProcessId>{watchdog});
  EXPECT_EQ(writesWhenKeelguardStopped, 0u);
  EXPECT_EQ(delay(), PropertyValue(0.5));  // the user's value is back before the new copy starts
  EXPECT_EQ(instance.releases, 1);
  const ProcessId child = processes.launchesOf(newCopy).at(0).pid.value();

  // The new copy starts, claims the display and hides the dock over the user's values.
  scheduler.advance(0.5);
  EXPECT_EQ(quits, 0);
  SystemDockVisibility newDock{domains, processes, bundle, paths, log};
  instance.holderPid = child;
  newDock.hideAtLaunch();
  scheduler.advance(Relaunch::checkInterval);
  EXPECT_EQ(quits, 1);

  // The old copy ends: it touches nothing the new one owns.
  domains.clearWrites();
  systemDock.restoreAtTermination();
  EXPECT_TRUE(domains.writes(dock).empty());
  EXPECT_EQ(delay(), PropertyValue(std::int64_t{SystemDockVisibility::hiddenDelay}));
  newDock.restoreAtTermination();
  EXPECT_EQ(delay(), PropertyValue(0.5));
  EXPECT_TRUE(failures.empty());
}

TEST_F(RelaunchTest, ANewCopyThatDoesNotStartLeavesThisOneRunningAndHidingTheDock) {
  struct Row {
    const char* name;
    std::function<void(ProcessId)> startFails;
    double wait;
    bool childTerminated;
  };
  const Row rows[] = {
      {"not started", {}, 0, false},
      {"ended at once", [this](ProcessId child) { processes.existing.erase(child); }, 0.2, false},
      {"never claimed the display", [](ProcessId) {}, Relaunch::startTimeout + 0.2, true},
  };
  for (const auto& row : rows) {
    failures.clear();
    processes.terminations.clear();
    if (!row.startFails) {
      processes.failingExecutables.insert(newCopy);
    }
    relaunch.relaunchFrom(newCopy);
    processes.failingExecutables.clear();
    if (row.startFails) {
      row.startFails(processes.launchesOf(newCopy).back().pid.value());
    }
    scheduler.advance(row.wait);

    EXPECT_EQ(quits, 0) << row.name;
    EXPECT_EQ(failures.size(), 1u) << row.name;
    EXPECT_EQ(instance.holderPid, instance.ownPid) << row.name;
    EXPECT_EQ(delay(), PropertyValue(std::int64_t{SystemDockVisibility::hiddenDelay})) << row.name;
    EXPECT_FALSE(relaunch.inProgress()) << row.name;
    const auto& last = processes.launches.back();
    EXPECT_EQ(last.executable, keelguard) << row.name;  // watching this copy again
    EXPECT_EQ(processes.terminations.size(), row.childTerminated ? 2u : 1u) << row.name;
  }
  // And at its own end it restores as usual.
  systemDock.restoreAtTermination();
  EXPECT_EQ(delay(), PropertyValue(0.5));
}

}  // namespace
}  // namespace quayline
