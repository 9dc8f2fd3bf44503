// Black-box tests of the Keelguard program: real processes, real files, a real killall.

#include <gtest/gtest.h>

#include <csignal>

#include "keelguard/ProcessSandbox.h"

namespace quayline::testing {
namespace {

using namespace std::chrono_literals;

const std::string keelguardPath = QUAYLINE_STAGE_DIR "/libexec/quayline/Keelguard";
const std::string usage = "usage: Keelguard <pid> <snapshot.plist>\n";

class KeelguardTest : public ProcessSandbox {
 protected:
  void writeSnapshot(const Dictionary& values) {
    writeFile(snapshot(), encodeXmlPropertyList(PropertyValue(values)));
  }

  pid_t startKeelguard(const std::vector<std::string>& arguments, const Environment& extra = {}) {
    std::vector<std::string> argv{keelguardPath};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return start(argv, extra);
  }
  pid_t startKeelguard(pid_t watched, const Environment& extra = {}) {
    return startKeelguard({std::to_string(watched), snapshot().string()}, extra);
  }
  pid_t startWatched() { return start({"/bin/sleep", "60"}); }

  // A process id that no longer names any process.
  pid_t endedPid() {
    pid_t pid = start({"/bin/true"});
    finish(pid, 5s);
    return pid;
  }

  // Runs Keelguard to its end (or gives up after a few seconds).
  std::optional<Finished> runKeelguard(const std::vector<std::string>& arguments,
                                       const Environment& extra = {}) {
    return finish(startKeelguard(arguments, extra), 5s);
  }

  bool running(pid_t pid) {
    int raw = 0;
    return ::waitpid(pid, &raw, WNOHANG) == 0;
  }

  static void expectCleanExit(const std::optional<Finished>& finished) {
    ASSERT_TRUE(finished) << "still running";
    EXPECT_TRUE(finished->exited);
    EXPECT_EQ(finished->status, 0);
    EXPECT_EQ(finished->out, "");
    EXPECT_EQ(finished->err, "");
  }

  // The dock stand-in was ended by the relaunch.
  void expectRelaunched(pid_t dock) {
    auto ended = finish(dock, 2s);
    ASSERT_TRUE(ended) << "the dock was not relaunched";
    EXPECT_TRUE(ended->signaled);
  }

  const Dictionary hideValues{{"autohide", PropertyValue(true)},
                              {"autohide-delay", PropertyValue(1000000)},
                              {"autohide-time-modifier", PropertyValue(0)}};
  const Dictionary otherKeys{
      {"tilesize", PropertyValue(48)},
      {"orientation", PropertyValue("bottom")},
      {"persistent-apps",
       PropertyValue(PropertyValue::Array{PropertyValue(
           Dictionary{{"tile-type", PropertyValue("file-tile")}, {"GUID", PropertyValue(-17)}})})}};

  Dictionary withOtherKeys(const Dictionary& values) const {
    Dictionary merged = otherKeys;
    merged.insert(values.begin(), values.end());
    return merged;
  }
};

TEST_F(KeelguardTest, BadCommandLinesPrintTheUsageAndExitWithStatusTwo) {
  // The pid would be gone, so a parser that let these through would restore.
  writeSnapshot({});
  writeDomain(hideValues);
  const std::string path = snapshot().string();
  const std::vector<std::vector<std::string>> rows = {{},
                                                      {path},
                                                      {"", path},
                                                      {"+", path},
                                                      {"-", path},
                                                      {"12a", path},
                                                      {" 12", path},
                                                      {"12 ", path},
                                                      {"++12", path},
                                                      {"0x10", path},
                                                      {"2147483648", path},
                                                      {"-2147483649", path},
                                                      {"99999999999999999999999", path}};
  for (const auto& arguments : rows) {
    auto finished = runKeelguard(arguments);
    ASSERT_TRUE(finished);
    std::string shown = arguments.empty() ? "(none)" : "'" + arguments[0] + "'";
    EXPECT_TRUE(finished->exited) << shown;
    EXPECT_EQ(finished->status, 2) << shown;
    EXPECT_EQ(finished->err, usage) << shown;
    EXPECT_EQ(finished->out, "") << shown;
  }
  EXPECT_TRUE(fs::exists(snapshot()));
  EXPECT_EQ(domain(), hideValues);
}

TEST_F(KeelguardTest, PidsAtTheLimitsOfThirtyTwoBitsAreAccepted) {
  // No snapshot: an accepted command line ends quietly with status 0.
  for (std::string pid : {"2147483647", "-2147483648", "+2147483647", "0002147483647"}) {
    auto finished = runKeelguard({pid, snapshot().string(), "ignored", "extra"});
    SCOPED_TRACE(pid);
    expectCleanExit(finished);
  }
}

TEST_F(KeelguardTest, APlusSignedPidIsWatchedUntilThatProcessEnds) {
  const Dictionary user{{"autohide", PropertyValue(false)}};
  writeSnapshot(user);
  writeDomain(hideValues);
  pid_t dock = startDock();
  pid_t watched = startWatched();
  pid_t keelguard = startKeelguard({"+" + std::to_string(watched), snapshot().string()});

  std::this_thread::sleep_for(1500ms);
  EXPECT_TRUE(running(keelguard));
  EXPECT_EQ(domain(), hideValues);
  EXPECT_TRUE(running(dock));

  ::kill(watched, SIGKILL);
  finish(watched, 2s);
  expectCleanExit(finish(keelguard, 4s));
  EXPECT_EQ(domain(), user);
  EXPECT_FALSE(fs::exists(snapshot()));
  expectRelaunched(dock);
}

TEST_F(KeelguardTest, AProcessAlreadyGoneIsRestoredAtOnceWithTypesAndOtherKeysKept) {
  const Dictionary user{{"autohide", PropertyValue(false)},
                        {"autohide-delay", PropertyValue(-3)},
                        {"autohide-time-modifier", PropertyValue(0.25)}};
  writeSnapshot(user);
  writeDomain(withOtherKeys(hideValues));
  pid_t dock = startDock();

  // Done well within the first one-second sleep, which it must not take.
  expectCleanExit(finish(startKeelguard(endedPid()), 900ms));

  EXPECT_EQ(domain(), withOtherKeys(user));
  EXPECT_FALSE(fs::exists(snapshot()));
  expectRelaunched(dock);
}

TEST_F(KeelguardTest, ASnapshotDeletedWhileTheProcessLivesEndsItWithoutTouchingAnything) {
  writeSnapshot({{"autohide", PropertyValue(false)}});
  writeDomain(withOtherKeys(hideValues));
  const std::string before = readFile(domainFile());
  pid_t dock = startDock();
  pid_t watched = startWatched();
  pid_t keelguard = startKeelguard(watched);

  std::this_thread::sleep_for(300ms);
  fs::remove(snapshot());

  expectCleanExit(finish(keelguard, 2500ms));
  EXPECT_EQ(readFile(domainFile()), before);
  EXPECT_TRUE(running(dock));
  EXPECT_TRUE(running(watched));
}

TEST_F(KeelguardTest, SnapshotsThatRecordNothingOfTheUsersRemoveTheThreeKeys) {
  const std::vector<std::pair<const char*, std::string>> rows = {
      {"empty", encodeXmlPropertyList(PropertyValue(Dictionary{}))},
      {"our values", encodeXmlPropertyList(
                         PropertyValue(Dictionary{{"autohide", PropertyValue(false)},
                                                  {"autohide-delay", PropertyValue(1000000)},
                                                  {"autohide-time-modifier", PropertyValue(1)}}))},
      {"our delay as a real",
       encodeXmlPropertyList(PropertyValue(Dictionary{{"autohide-delay", PropertyValue(1e6)}}))},
      {"our values, binary",
       [] {
         auto bytes = encodeBinaryPropertyList(
             PropertyValue(Dictionary{{"autohide-delay", PropertyValue(1000000)}}));
         return std::string(bytes.begin(), bytes.end());
       }()},
      {"not a property list", "autohide = NO"},
      {"an array", encodeXmlPropertyList(PropertyValue(PropertyValue::Array{PropertyValue(1)}))},
      {"empty file", ""},
  };
  for (const auto& [what, contents] : rows) {
    SCOPED_TRACE(what);
    writeFile(snapshot(), contents);
    writeDomain(withOtherKeys(hideValues));
    pid_t dock = startDock();

    expectCleanExit(finish(startKeelguard(endedPid()), 5s));

    EXPECT_EQ(domain(), otherKeys);
    EXPECT_FALSE(fs::exists(snapshot()));
    expectRelaunched(dock);
  }
}

TEST_F(KeelguardTest, AStringDelayIsTheUsersAndWrittenBackAsItIs) {
  const Dictionary user{{"autohide-delay", PropertyValue("1000000")}};
  writeSnapshot(user);
  writeDomain(hideValues);

  expectCleanExit(finish(startKeelguard(endedPid()), 5s));

  EXPECT_EQ(domain(), user);
}

TEST_F(KeelguardTest, AMissingSnapshotLeavesTheDomainAloneAndTheDockRunning) {
  writeDomain(withOtherKeys(hideValues));
  const std::string before = readFile(domainFile());
  pid_t dock = startDock();

  expectCleanExit(finish(startKeelguard(endedPid()), 5s));

  EXPECT_EQ(readFile(domainFile()), before);
  EXPECT_TRUE(running(dock));
}

TEST_F(KeelguardTest, AnUnreadableDomainFileIsKeptAsideAndTheNewOneIsPrivate) {
  const Dictionary user{{"autohide", PropertyValue(false)}};
  writeSnapshot(user);
  writeFile(domainFile(), "<plist><dict><key>tilesize");

  expectCleanExit(finish(startKeelguard(endedPid()), 5s));

  EXPECT_EQ(readFile(root / "prefs" / "com.apple.dock.plist.corrupt"),
            "<plist><dict><key>tilesize");
  EXPECT_EQ(domain(), user);
  struct stat info {};
  ASSERT_EQ(::stat(domainFile().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_TRUE(readFile(domainFile()).starts_with("<?xml"));
}

TEST_F(KeelguardTest, ABinaryDomainFileIsReadAndWrittenBackAsXml) {
  auto binary = encodeBinaryPropertyList(PropertyValue(withOtherKeys(hideValues)));
  writeFile(domainFile(), std::string(binary.begin(), binary.end()));
  writeSnapshot({{"autohide-time-modifier", PropertyValue(0.5)}});

  expectCleanExit(finish(startKeelguard(endedPid()), 5s));

  EXPECT_EQ(domain(), withOtherKeys({{"autohide-time-modifier", PropertyValue(0.5)}}));
  EXPECT_FALSE(fs::exists(root / "prefs" / "com.apple.dock.plist.corrupt"));
}

TEST_F(KeelguardTest, TheDomainFolderFollowsThePreferenceStoreRules) {
  struct Row {
    const char* what;
    Environment environment;
    fs::path folder;
  };
  const Row rows[] = {
      {"empty override", {{"QUAYLINE_PREFERENCES_DIR", ""}}, root / "config/quayline/preferences"},
      {"no config home",
       {{"QUAYLINE_PREFERENCES_DIR", ""}, {"XDG_CONFIG_HOME", ""}},
       root / "home/.config/quayline/preferences"},
      {"relative config home",
       {{"QUAYLINE_PREFERENCES_DIR", ""}, {"XDG_CONFIG_HOME", "config"}},
       root / "home/.config/quayline/preferences"},
      {"override",
       {{"QUAYLINE_PREFERENCES_DIR", (root / "elsewhere/deep").string()}},
       root / "elsewhere/deep"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    writeSnapshot({{"autohide", PropertyValue(true)}});

    expectCleanExit(finish(startKeelguard(endedPid(), row.environment), 5s));

    auto written = readDictionary(row.folder / "com.apple.dock.plist");
    EXPECT_EQ(written, (Dictionary{{"autohide", PropertyValue(true)}}));
    struct stat info {};
    ASSERT_EQ(::stat(row.folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
  }
}

TEST_F(KeelguardTest, ADomainThatCannotBeWrittenKeepsTheSnapshotForTheNextLaunch) {
  const Dictionary user{{"autohide", PropertyValue(false)}};
  writeSnapshot(user);
  writeFile(root / "blocked", "a file, not a folder");

  expectCleanExit(finish(
      startKeelguard(endedPid(), {{"QUAYLINE_PREFERENCES_DIR", (root / "blocked/prefs").string()}}),
      5s));

  EXPECT_EQ(readDictionary(snapshot()), user);
}

TEST_F(KeelguardTest, AProcessThatEndedButWasNotCollectedCountsAsGone) {
  const Dictionary user{{"autohide", PropertyValue(false)}};
  writeSnapshot(user);
  writeDomain(hideValues);
  pid_t watched = startWatched();
  pid_t keelguard = startKeelguard(watched);
  std::this_thread::sleep_for(200ms);

  // Killed but left uncollected: a zombie still answers kill(pid, 0).
  ::kill(watched, SIGKILL);

  expectCleanExit(finish(keelguard, 4s));
  EXPECT_EQ(domain(), user);
}

TEST_F(KeelguardTest, ATerminationRequestEndsItAtOnceWithoutRestoring) {
  writeSnapshot({{"autohide", PropertyValue(false)}});
  writeDomain(hideValues);
  pid_t watched = startWatched();
  pid_t keelguard = startKeelguard(watched);
  std::this_thread::sleep_for(200ms);

  ::kill(keelguard, SIGTERM);

  auto finished = finish(keelguard, 2s);
  ASSERT_TRUE(finished);
  EXPECT_TRUE(finished->signaled);
  EXPECT_EQ(finished->status, SIGTERM);
  EXPECT_EQ(domain(), hideValues);
  EXPECT_TRUE(fs::exists(snapshot()));
}

}  // namespace
}  // namespace quayline::testing
