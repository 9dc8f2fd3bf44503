#include "platform/linux/LockFileInstanceGuard.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <csignal>

#include "fakes/FakeSystemLog.h"
#include "fakes/TemporaryHome.h"

extern char** environ;

namespace quayline {
namespace {

using Claim = InstanceGuard::Claim;

class LockFileInstanceGuardTest : public TemporaryHome {
 protected:
  void SetUp() override {
    TemporaryHome::SetUp();
    runtime = root / "runtime";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
  }

  LockFileInstanceGuard guard(std::string_view display = ":5") {
    return LockFileInstanceGuard(runtime, display, log);
  }

  std::filesystem::path runtime;
  FakeSystemLog log;
};

TEST_F(LockFileInstanceGuardTest, DisplayKeysNameTheServerNotTheSpelling) {
  struct Row {
    const char* display;
    const char* key;
  };
  for (const Row& row : {Row{":0", "0"},
                         {":0.0", "0"},
                         {"unix:0.1", "0"},
                         {"unix/:0", "0"},
                         {":12", "12"},
                         {"localhost:10.0", "localhost_10"},
                         {"host/../x:1", "x_1"},
                         {"", ""},
                         {"../../etc", "etc"}}) {
    EXPECT_EQ(LockFileInstanceGuard::displayKey(row.display), row.key) << row.display;
  }
}

// Two guards in one process stand for two starts: the lock is per open file, as between
// processes.
TEST_F(LockFileInstanceGuardTest, OneClaimPerDisplayUntilTheHolderGoesAway) {
  {
    auto first = guard(":5");
    ASSERT_EQ(first.claim(), Claim::acquired);
    EXPECT_EQ(first.claim(), Claim::acquired);
    auto second = guard(":5.0");
    EXPECT_EQ(second.claim(), Claim::heldElsewhere);
    EXPECT_EQ(second.holder(), ::getpid());
    EXPECT_EQ(guard(":6").claim(), Claim::acquired);  // another display is another dock
  }
  // The file of the ended holder is still there; it does not block.
  ASSERT_TRUE(std::filesystem::exists(runtime / "quayline-display-5.lock"));
  EXPECT_EQ(guard(":5").claim(), Claim::acquired);
  EXPECT_TRUE(log.lines.empty());
}

// Applications the dock launches live on after it; they must not keep its claim.
TEST_F(LockFileInstanceGuardTest, LaunchedProgramsDoNotInheritTheClaim) {
  pid_t child = -1;
  {
    auto first = guard();
    ASSERT_EQ(first.claim(), Claim::acquired);
    char sleepProgram[] = "/bin/sleep";
    char seconds[] = "30";
    char* arguments[] = {sleepProgram, seconds, nullptr};
    ASSERT_EQ(::posix_spawn(&child, sleepProgram, nullptr, nullptr, arguments, environ), 0);
  }
  EXPECT_EQ(guard().claim(), Claim::acquired);
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
}

TEST_F(LockFileInstanceGuardTest, AFolderThatCannotHoldTheClaimDoesNotKeepTheDockFromStarting) {
  std::filesystem::permissions(runtime, std::filesystem::perms::all);  // open to everyone
  auto open = guard();
  EXPECT_EQ(open.claim(), Claim::acquired);
  EXPECT_EQ(log.messagesIn("instance").size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(open.lockPath()));

  std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
  std::filesystem::create_symlink(root / "elsewhere", runtime / "quayline-display-5.lock");
  EXPECT_EQ(guard().claim(), Claim::acquired);
  EXPECT_FALSE(std::filesystem::exists(root / "elsewhere"));
  EXPECT_EQ(log.messagesIn("instance").size(), 2u);
}

}  // namespace
}  // namespace quayline
