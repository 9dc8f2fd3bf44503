// Fault tests of Quayline and Keelguard together: whatever happens to Quayline, the user's
// system dock settings come back.

#include <gtest/gtest.h>

#include "keelguard/ProcessSandbox.h"

namespace quayline::testing {
namespace {

using namespace std::chrono_literals;

const fs::path stage = QUAYLINE_STAGE_DIR;
const std::string keelguardName = "/libexec/quayline/Keelguard";

class QuaylinePair : public ProcessSandbox {
 protected:
  // The user's own settings, of three different types, and a key Quayline never touches.
  const Dictionary userValues{{"autohide", PropertyValue(false)},
                              {"autohide-delay", PropertyValue(0.5)},
                              {"autohide-time-modifier", PropertyValue(1)},
                              {"tilesize", PropertyValue(48)}};

  // A Keelguard outlives a Quayline killed at the end of a test, and would end the next test's
  // stand-in "Dock" when it restores.
  void TearDown() override {
    for (const auto& [pid, files] : outputs) {
      for (const fs::path& prefix : {stage, root / "prefix"}) {
        for (const pid_t keelguard : keelguards(pid, prefix)) {
          ::kill(keelguard, SIGKILL);
        }
      }
    }
    ProcessSandbox::TearDown();
  }

  pid_t startQuayline(const fs::path& prefix = stage) {
    return start({(prefix / "bin" / "quayline").string()});
  }

  std::vector<pid_t> keelguards(pid_t watched, const fs::path& prefix = stage) {
    return processesRunning((prefix / keelguardName.substr(1)).string(), std::to_string(watched));
  }

  bool looksHidden() {
    auto values = domain();
    return values && values->count("autohide-delay") != 0 &&
           values->at("autohide-delay") == PropertyValue(1000000) && fs::exists(snapshot());
  }

  // Waits until Quayline has hidden the dock and its Keelguard watches it.
  pid_t waitUntilHidden(pid_t quayline) {
    pid_t keelguard = 0;
    EXPECT_TRUE(eventually([&] {
      auto found = keelguards(quayline);
      if (found.size() == 1 && looksHidden()) {
        keelguard = found[0];
        return true;
      }
      return false;
    })) << errorOutput(quayline);
    if (keelguard != 0) {
      adopted.push_back(keelguard);
    }
    return keelguard;
  }

  // A copy of the installed program whose information dictionary says whether to hide.
  fs::path installCopy(bool hides) {
    const fs::path prefix = root / "prefix";
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / "libexec" / "quayline");
    fs::copy_file(stage / "bin" / "quayline", prefix / "bin" / "quayline");
    fs::copy_file(stage / keelguardName.substr(1), prefix / keelguardName.substr(1));
    writeFile(prefix / "share" / "quayline" / "Info.plist",
              encodeXmlPropertyList(PropertyValue(
                  Dictionary{{"CFBundleIdentifier", PropertyValue("com.orrin.quayline")},
                             {"QuaylineHidesSystemDock", PropertyValue(hides)}})));
    return prefix;
  }
};

TEST_F(QuaylinePair, KillingQuaylineLetsKeelguardRestoreWithinTwoSeconds) {
  writeDomain(userValues);
  const pid_t quayline = startQuayline();
  const pid_t keelguard = waitUntilHidden(quayline);
  ASSERT_NE(keelguard, 0);
  EXPECT_EQ(readDictionary(snapshot()), (Dictionary{{"autohide", PropertyValue(false)},
                                                    {"autohide-delay", PropertyValue(0.5)},
                                                    {"autohide-time-modifier", PropertyValue(1)}}));

  const pid_t dock = startDock();
  ::kill(quayline, SIGKILL);
  ASSERT_TRUE(finish(quayline));
  const auto killed = std::chrono::steady_clock::now();
  EXPECT_TRUE(eventually([&] { return domain() == userValues && !fs::exists(snapshot()); }, 2500ms))
      << "domain: " << PropertyValue(domain().value_or(Dictionary{}));
  EXPECT_LT(std::chrono::steady_clock::now() - killed, 2500ms);
  // Keelguard relaunched the dock and ended.
  EXPECT_TRUE(eventually([&] { return ended(dock); }, 2000ms));
  EXPECT_TRUE(eventually([&] { return !isAlive(keelguard); }, 2000ms));
}

TEST_F(QuaylinePair, AfterBothDieTheNextLaunchRestoresBeforeHidingAgain) {
  writeDomain(userValues);
  const pid_t first = startQuayline();
  const pid_t keelguard = waitUntilHidden(first);
  ASSERT_NE(keelguard, 0);
  ::kill(keelguard, SIGKILL);
  ::kill(first, SIGKILL);
  ASSERT_TRUE(finish(first));
  ASSERT_TRUE(eventually([&] { return !isAlive(keelguard); }));
  ASSERT_TRUE(looksHidden());  // left hidden: nobody restored
  // A key no snapshot of ours holds: if the next launch restores and snapshots afresh, it is gone.
  auto leftOver = readDictionary(snapshot()).value_or(Dictionary{});
  leftOver.emplace("left-over-marker", PropertyValue(true));
  writeFile(snapshot(), encodeXmlPropertyList(PropertyValue(leftOver)));

  const pid_t second = startQuayline();
  ASSERT_NE(waitUntilHidden(second), 0);
  // The left-over snapshot was restored and removed, then a fresh one taken of the restored
  // values: the user's settings, without the marker, not the hide values.
  EXPECT_EQ(readDictionary(snapshot()), (Dictionary{{"autohide", PropertyValue(false)},
                                                    {"autohide-delay", PropertyValue(0.5)},
                                                    {"autohide-time-modifier", PropertyValue(1)}}));

  ::kill(second, SIGTERM);
  EXPECT_EQ(exitStatus(second), 0);
  EXPECT_EQ(domain(), userValues);
  EXPECT_FALSE(fs::exists(snapshot()));
}

TEST_F(QuaylinePair, ADomainAlreadyHoldingTheHideValuesYieldsAnEmptySnapshot) {
  writeDomain({{"autohide", PropertyValue(true)},
               {"autohide-delay", PropertyValue(1000000)},
               {"autohide-time-modifier", PropertyValue(0)},
               {"tilesize", PropertyValue(48)}});
  const pid_t quayline = startQuayline();
  ASSERT_NE(waitUntilHidden(quayline), 0);
  EXPECT_EQ(readDictionary(snapshot()), Dictionary{});
  ::kill(quayline, SIGTERM);
  EXPECT_EQ(exitStatus(quayline), 0);
  EXPECT_EQ(domain(), (Dictionary{{"tilesize", PropertyValue(48)}}));
}

TEST_F(QuaylinePair, ASignalWhileTheMovePromptIsOpenStillEndsInOrder) {
  writeDomain(userValues);
  // The build tree is not installed: the launch offers to move it, and waits on the answer.
  const pid_t quayline =
      start({(stage / "bin" / "quayline").string()}, {{"QUAYLINE_NO_MOVE_PROMPT", "0"}});
  ASSERT_NE(waitUntilHidden(quayline), 0);
  ::kill(quayline, SIGTERM);
  EXPECT_EQ(exitStatus(quayline), 0);
  EXPECT_EQ(domain(), userValues);
}

class OrderlyEnd : public QuaylinePair, public ::testing::WithParamInterface<int> {};

TEST_P(OrderlyEnd, RestoresAfterStoppingKeelguard) {
  writeDomain(userValues);
  const pid_t quayline = startQuayline();
  const pid_t keelguard = waitUntilHidden(quayline);
  ASSERT_NE(keelguard, 0);
  const pid_t dock = startDock();
  ::kill(quayline, GetParam());
  EXPECT_EQ(exitStatus(quayline), 0);
  EXPECT_EQ(domain(), userValues);
  EXPECT_FALSE(fs::exists(snapshot()));
  EXPECT_TRUE(eventually([&] { return !isAlive(keelguard); }));
  EXPECT_TRUE(eventually([&] { return ended(dock); }));
}

INSTANTIATE_TEST_SUITE_P(Signals, OrderlyEnd, ::testing::Values(SIGINT, SIGTERM, SIGHUP),
                         [](const auto& signal) {
                           return std::string(sigabbrev_np(signal.param));
                         });

TEST_F(QuaylinePair, WithHidingSwitchedOffNothingIsTouched) {
  writeDomain(userValues);
  const std::string before = readFile(domainFile());
  const fs::path prefix = installCopy(false);
  const pid_t dock = startDock();
  const pid_t quayline = startQuayline(prefix);
  ASSERT_TRUE(eventually([&] {
    return standardOutput(quayline).find("running") != std::string::npos;
  })) << errorOutput(quayline);
  EXPECT_TRUE(keelguards(quayline, prefix).empty());
  ::kill(quayline, SIGTERM);
  EXPECT_EQ(exitStatus(quayline), 0);
  EXPECT_EQ(readFile(domainFile()), before);
  EXPECT_FALSE(fs::exists(snapshot()));
  EXPECT_FALSE(ended(dock));
}

TEST_F(QuaylinePair, ACopyWithHidingOnHidesAndRestores) {
  writeDomain(userValues);
  const fs::path prefix = installCopy(true);
  const pid_t quayline = startQuayline(prefix);
  EXPECT_TRUE(eventually([&] { return keelguards(quayline, prefix).size() == 1 && looksHidden(); }))
      << errorOutput(quayline);
  ::kill(quayline, SIGTERM);
  EXPECT_EQ(exitStatus(quayline), 0);
  EXPECT_EQ(domain(), userValues);
}

TEST_F(QuaylinePair, WhenTheSnapshotCannotBeWrittenTheDockIsLeftAlone) {
  writeDomain(userValues);
  const std::string before = readFile(domainFile());
  // The support folder's parent is a file: no snapshot can be made.
  writeFile(root / "blocked", "not a folder");
  const pid_t dock = startDock();
  const pid_t quayline =
      start({(stage / "bin" / "quayline").string()},
            {{"XDG_DATA_HOME", (root / "blocked").string()}, {"QUAYLINE_LOG_STDERR", "1"}});
  ASSERT_TRUE(eventually([&] {
    return standardOutput(quayline).find("running") != std::string::npos;
  })) << errorOutput(quayline);
  EXPECT_NE(errorOutput(quayline).find("system dock left visible"), std::string::npos)
      << errorOutput(quayline);
  EXPECT_TRUE(keelguards(quayline).empty());
  EXPECT_EQ(readFile(domainFile()), before);
  ::kill(quayline, SIGTERM);
  EXPECT_EQ(exitStatus(quayline), 0);
  // Nothing was hidden, so nothing is "restored" over the user's values at the end either.
  EXPECT_EQ(readFile(domainFile()), before);
  EXPECT_FALSE(ended(dock));
}

}  // namespace
}  // namespace quayline::testing
