#include "system/SystemDockVisibility.h"

#include <gtest/gtest.h>

#include <fstream>

#include "fakes/FakeApplicationBundle.h"
#include "fakes/FakePaths.h"
#include "fakes/FakePreferenceDomains.h"
#include "fakes/FakeProcesses.h"
#include "fakes/FakeSystemLog.h"
#include "fakes/TemporaryHome.h"
#include "foundation/FileReading.h"

namespace quayline {
namespace {

namespace fs = std::filesystem;
using Dictionary = PropertyValue::Dictionary;
using Write = FakePreferenceDomains::Write;

constexpr std::string_view dock = "com.apple.dock";
const std::string killall = "/usr/bin/killall";
const std::string keelguard = "/opt/quayline/libexec/quayline/Keelguard";

std::string contents(const fs::path& path) {
  return readFile(path).value_or("");
}

void writeFile(const fs::path& path, std::string_view bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

class SystemDockVisibilityTest : public TemporaryHome {
 protected:
  void SetUp() override {
    TemporaryHome::SetUp();
    paths.home = (root / "home").string();
    paths.applicationSupport = (root / "data").string();
    bundle.info.insert_or_assign("QuaylineHidesSystemDock", PropertyValue(true));
    bundle.auxiliaryExecutables.insert_or_assign("Keelguard", keelguard);
  }
  fs::path snapshot() const { return root / "data" / "Quayline" / "SystemDockSnapshot.plist"; }

  void writeSnapshot(const Dictionary& values) {
    writeFile(snapshot(), encodeXmlPropertyList(PropertyValue(values)));
  }

  std::optional<Dictionary> snapshotContents() const {
    if (!fs::exists(snapshot())) {
      return std::nullopt;
    }
    auto decoded = decodePropertyList(std::string_view(contents(snapshot())));
    if (!decoded || decoded->dictionary() == nullptr) {
      return std::nullopt;
    }
    return *decoded->dictionary();
  }

  // The three auto-hide keys as the domain holds them.
  Dictionary autoHideSettings() {
    Dictionary result;
    for (auto key : SystemDockVisibility::keys) {
      if (auto value = preferences.copy(dock, key)) {
        result.emplace(std::string(key), *value);
      }
    }
    return result;
  }

  std::vector<Write> restoreWrites(const Dictionary& values) const {
    std::vector<Write> writes;
    for (auto key : SystemDockVisibility::keys) {
      auto found = values.find(std::string(key));
      writes.push_back(
          {std::string(dock), std::string(key),
           found == values.end() ? std::nullopt : std::optional<PropertyValue>(found->second)});
    }
    return writes;
  }

  const Dictionary hideValues{{"autohide", PropertyValue(true)},
                              {"autohide-delay", PropertyValue(1000000)},
                              {"autohide-time-modifier", PropertyValue(0)}};

  FakePreferenceDomains preferences;
  FakeProcesses processes;
  FakeApplicationBundle bundle;
  FakePaths paths;
  FakeSystemLog log;
  SystemDockVisibility visibility{preferences, processes, bundle, paths, log};
};

TEST_F(SystemDockVisibilityTest, OnlyABooleanTrueInTheBundleTurnsHidingOn) {
  for (auto value : {PropertyValue(false), PropertyValue("YES"), PropertyValue(1)}) {
    bundle.info.insert_or_assign("QuaylineHidesSystemDock", value);
    EXPECT_FALSE(visibility.hidesSystemDock()) << value;
  }
  bundle.info.clear();
  EXPECT_FALSE(visibility.hidesSystemDock());
  bundle.info.insert_or_assign("QuaylineHidesSystemDock", PropertyValue(true));
  EXPECT_TRUE(visibility.hidesSystemDock());
}

TEST_F(SystemDockVisibilityTest, WithHidingOffNothingIsTouched) {
  bundle.info.insert_or_assign("QuaylineHidesSystemDock", PropertyValue(false));
  const Dictionary leftOver{{"autohide", PropertyValue(false)}};
  writeSnapshot(leftOver);

  visibility.recoverAtLaunch();
  visibility.hideAtLaunch();
  visibility.restoreAtTermination();

  EXPECT_TRUE(preferences.writes(dock).empty());
  EXPECT_TRUE(processes.launches.empty());
  EXPECT_TRUE(processes.terminations.empty());
  EXPECT_EQ(snapshotContents(), leftOver);
}

TEST_F(SystemDockVisibilityTest, HidingRecordsTheUserValuesWithTheirTypesAndRestoringPutsThemBack) {
  preferences.seed(dock, "autohide", PropertyValue(false));
  preferences.seed(dock, "autohide-delay", PropertyValue(0.5));
  preferences.seed(dock, "tilesize", PropertyValue(48));
  const Dictionary user{{"autohide", PropertyValue(false)}, {"autohide-delay", PropertyValue(0.5)}};

  visibility.hideAtLaunch();

  EXPECT_EQ(snapshotContents(), user);
  EXPECT_TRUE(contents(snapshot()).starts_with("<?xml"));
  EXPECT_EQ(preferences.writes(dock), restoreWrites(hideValues));
  EXPECT_EQ(autoHideSettings(), hideValues);
  ASSERT_EQ(processes.launches.size(), 2u);
  EXPECT_EQ(processes.launches[0],
            (FakeProcesses::Launch{killall, {"Dock"}, Processes::StandardError::discard, 10000}));
  EXPECT_EQ(processes.launches[1].executable, keelguard);
  EXPECT_EQ(processes.launches[1].arguments,
            (std::vector<std::string>{"4242", snapshot().string()}));

  preferences.clearWrites();
  visibility.restoreAtTermination();

  EXPECT_EQ(processes.terminations, std::vector<ProcessId>{*processes.launches[1].pid});
  EXPECT_EQ(preferences.writes(dock), restoreWrites(user));
  EXPECT_EQ(autoHideSettings(), user);
  EXPECT_EQ(preferences.copy(dock, "tilesize"), PropertyValue(48));
  EXPECT_FALSE(fs::exists(snapshot()));
  ASSERT_EQ(processes.launchesOf(killall).size(), 2u);
}

TEST_F(SystemDockVisibilityTest, ADomainWithoutTheKeysIsRecordedEmptyAndRestoredByRemovingThem) {
  visibility.hideSystemDock();
  EXPECT_EQ(snapshotContents(), Dictionary{});

  visibility.restore();
  EXPECT_EQ(autoHideSettings(), Dictionary{});
  EXPECT_EQ(preferences.writes(dock).size(), 6u);
}

TEST_F(SystemDockVisibilityTest, ADomainAlreadyHoldingOurValuesIsRecordedEmpty) {
  preferences.seed(dock, "autohide", PropertyValue(true));
  preferences.seed(dock, "autohide-delay", PropertyValue(1000000));
  preferences.seed(dock, "autohide-time-modifier", PropertyValue(0.25));

  visibility.hideSystemDock();

  EXPECT_EQ(snapshotContents(), Dictionary{});
}

TEST_F(SystemDockVisibilityTest, AnExistingSnapshotIsKeptAndTheDockHiddenAnyway) {
  writeSnapshot({{"autohide", PropertyValue(false)}});
  const std::string before = contents(snapshot());
  preferences.seed(dock, "autohide", PropertyValue(true));
  preferences.seed(dock, "autohide-delay", PropertyValue(3));

  visibility.hideSystemDock();

  EXPECT_EQ(contents(snapshot()), before);
  EXPECT_EQ(autoHideSettings(), hideValues);
  EXPECT_EQ(processes.launchesOf(killall).size(), 1u);
  EXPECT_EQ(processes.launchesOf(keelguard).size(), 1u);
}

TEST_F(SystemDockVisibilityTest, RestoringWritesTheSnapshotBackAsItIsUnlessItHoldsOurValues) {
  struct Row {
    const char* what;
    Dictionary recorded;
    Dictionary restored;
  };
  const Row rows[] = {
      {"our integer delay",
       {{"autohide-delay", PropertyValue(1000000)}, {"autohide", PropertyValue(true)}},
       {}},
      {"our delay as a real", {{"autohide-delay", PropertyValue(1000000.0)}}, {}},
      {"a string delay",
       {{"autohide-delay", PropertyValue("1000000")}, {"autohide", PropertyValue(false)}},
       {{"autohide-delay", PropertyValue("1000000")}, {"autohide", PropertyValue(false)}}},
      {"another integer",
       {{"autohide-delay", PropertyValue(999999)}},
       {{"autohide-delay", PropertyValue(999999)}}},
  };
  for (const auto& row : rows) {
    for (auto key : SystemDockVisibility::keys) {
      preferences.seed(dock, key, PropertyValue("stale"));
    }
    writeSnapshot(row.recorded);
    visibility.restore();
    EXPECT_EQ(autoHideSettings(), row.restored) << row.what;
    EXPECT_FALSE(fs::exists(snapshot())) << row.what;
  }
}

TEST_F(SystemDockVisibilityTest, AMissingOrUnreadableSnapshotRestoresTheDefaults) {
  for (auto contents : {std::optional<std::string>{}, std::optional<std::string>{"not a plist"},
                        std::optional<std::string>{encodeXmlPropertyList(PropertyValue(3))}}) {
    preferences.seed(dock, "autohide", PropertyValue(true));
    preferences.seed(dock, "autohide-delay", PropertyValue(1000000));
    if (contents) {
      writeFile(snapshot(), *contents);
    }
    visibility.restoreFrom(snapshot());
    EXPECT_EQ(autoHideSettings(), Dictionary{});
    EXPECT_FALSE(fs::exists(snapshot()));
  }
  EXPECT_EQ(processes.launchesOf(killall).size(), 3u);
}

TEST_F(SystemDockVisibilityTest, KeelguardIsStartedOncePerProcessEvenWhenItsLaunchFailed) {
  processes.failingExecutables.insert(keelguard);
  visibility.hideSystemDock();
  visibility.startWatchdog();
  visibility.hideSystemDock();
  EXPECT_EQ(processes.launchesOf(keelguard).size(), 1u);

  // Nothing to terminate, and the restore still happens.
  visibility.restore();
  EXPECT_TRUE(processes.terminations.empty());
  EXPECT_FALSE(fs::exists(snapshot()));
}

TEST_F(SystemDockVisibilityTest, WithoutKeelguardShippedTheDockIsHiddenAndRestoredAlone) {
  bundle.auxiliaryExecutables.clear();
  preferences.seed(dock, "autohide", PropertyValue(false));

  visibility.hideSystemDock();
  EXPECT_EQ(autoHideSettings(), hideValues);
  visibility.restore();

  EXPECT_EQ(autoHideSettings(), (Dictionary{{"autohide", PropertyValue(false)}}));
  EXPECT_TRUE(processes.launchesOf(keelguard).empty());
  EXPECT_TRUE(processes.terminations.empty());
}

TEST_F(SystemDockVisibilityTest, KeelguardIsStoppedBeforeTheSettingsAreWrittenBack) {
  visibility.hideSystemDock();
  preferences.clearWrites();
  std::optional<size_t> writesAtTermination;
  processes.onTerminate = [&](ProcessId) { writesAtTermination = preferences.writes(dock).size(); };

  visibility.restore();

  EXPECT_EQ(writesAtTermination, 0u);
  EXPECT_EQ(preferences.writes(dock).size(), 3u);
}

TEST_F(SystemDockVisibilityTest, LaunchRecoversALeftOverSnapshotBeforeHidingAgain) {
  visibility.recoverAtLaunch();
  EXPECT_TRUE(preferences.writes(dock).empty());

  // A crashed run left the hide values and the user's snapshot behind.
  for (const auto& [key, value] : hideValues) {
    preferences.seed(dock, key, value);
  }
  const Dictionary user{{"autohide-time-modifier", PropertyValue(0.7)}};
  writeSnapshot(user);

  visibility.recoverAtLaunch();
  EXPECT_EQ(autoHideSettings(), user);
  visibility.hideAtLaunch();
  EXPECT_EQ(snapshotContents(), user);
  EXPECT_EQ(autoHideSettings(), hideValues);
}

TEST_F(SystemDockVisibilityTest, WhenNoSnapshotCanBeWrittenTheDockIsLeftAlone) {
  // A regular file where the support folder should be: no folder, so no snapshot.
  fs::remove(root / "data");
  writeFile(root / "data", "in the way");
  preferences.seed(dock, "autohide", PropertyValue(false));

  visibility.hideAtLaunch();

  EXPECT_TRUE(preferences.writes(dock).empty());
  EXPECT_EQ(autoHideSettings(), (Dictionary{{"autohide", PropertyValue(false)}}));
  EXPECT_TRUE(processes.launches.empty());
  ASSERT_EQ(log.messagesIn("dock").size(), 1u);
  EXPECT_NE(log.messagesIn("dock")[0].find(snapshot().parent_path().string()), std::string::npos);

  // Nothing was hidden, so the end of the run has nothing to put back either.
  visibility.restoreAtTermination();
  EXPECT_TRUE(preferences.writes(dock).empty());
  EXPECT_TRUE(processes.launches.empty());
}

TEST_F(SystemDockVisibilityTest, WhenTheSnapshotFileCannotBeCreatedTheDockIsLeftAlone) {
  // The support folder resolves to a folder of the kernel's, where no file can be created even
  // by root.
  fs::create_directories(root / "data");
  fs::create_directory_symlink("/proc/self", root / "data" / "Quayline");
  preferences.seed(dock, "autohide-delay", PropertyValue(0.5));

  visibility.hideSystemDock();

  EXPECT_TRUE(preferences.writes(dock).empty());
  EXPECT_TRUE(processes.launches.empty());
  EXPECT_EQ(log.messagesIn("dock").size(), 1u);
}

TEST_F(SystemDockVisibilityTest, ARestoreThatCannotBeWrittenKeepsTheSnapshotForTheNextLaunch) {
  const Dictionary user{{"autohide", PropertyValue(false)}};
  writeSnapshot(user);
  preferences.failWrites = true;

  visibility.restore();

  EXPECT_EQ(snapshotContents(), user);
  EXPECT_EQ(log.messagesIn("dock").size(), 1u);
}

TEST(SystemDockVisibilityLooksHiddenByUs, RecognisesOnlyOurDelay) {
  using V = PropertyValue;
  EXPECT_FALSE(SystemDockVisibility::looksHiddenByUs({}));
  EXPECT_TRUE(SystemDockVisibility::looksHiddenByUs({{"autohide-delay", V(1000000)}}));
  EXPECT_TRUE(SystemDockVisibility::looksHiddenByUs({{"autohide-delay", V(1000000.4)}}));
  EXPECT_FALSE(SystemDockVisibility::looksHiddenByUs({{"autohide-delay", V(1000001)}}));
  EXPECT_FALSE(SystemDockVisibility::looksHiddenByUs({{"autohide-delay", V(999999.9)}}));
  EXPECT_FALSE(SystemDockVisibility::looksHiddenByUs({{"autohide-delay", V("1000000")}}));
  EXPECT_FALSE(SystemDockVisibility::looksHiddenByUs({{"autohide-delay", V(true)}}));
  EXPECT_FALSE(SystemDockVisibility::looksHiddenByUs({{"autohide", V(1000000)}}));
}

}  // namespace
}  // namespace quayline
