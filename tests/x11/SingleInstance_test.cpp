// One dock per user and display: a second start steps aside, and a dock that died leaves nothing
// that keeps the next one from starting.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <csignal>
#include <fstream>
#include <iterator>

#include "support/Processes.h"
#include "support/RunningDock.h"
#include "support/X11Environment.h"

namespace quayline::x11test {
namespace {

// The exit status of a second `quayline`, or nothing when it was still running after a while.
std::optional<int> runToEnd(const std::filesystem::path& log) {
  const pid_t pid = spawnProcess(RunningDock::program().string(), {}, log.string());
  std::optional<int> status;
  waitUntil([&] {
    int raw = 0;
    if (::waitpid(pid, &raw, WNOHANG) == pid) {
      status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    }
    return status.has_value();
  });
  if (!status) {
    stopProcess(pid);
  }
  return status;
}

TEST(SingleInstance, ASecondStartLeavesTheRunningDockAloneAndAStaleOneDoesNotBlock) {
  const RunningDock::Setup setup{.pinned = std::vector<PinnedItem>{},
                                 .trailing = std::vector<PinnedItem>{}};
  auto first = std::make_unique<RunningDock>(setup);
  ASSERT_TRUE(first->started()) << first->logText();

  const auto log = X11Environment::instance().root() / "logs" / "second-start.log";
  EXPECT_EQ(runToEnd(log), 0);
  std::ifstream in(log);
  const std::string said((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(said.find("Quayline already runs on display"), std::string::npos) << said;
  EXPECT_NE(said.find(std::to_string(first->pid())), std::string::npos) << said;
  EXPECT_TRUE(first->runs());
  EXPECT_TRUE(first->dockFrame().viewable);

  // Killed outright, the first dock leaves its lock file behind.
  ::kill(first->pid(), SIGKILL);
  ASSERT_TRUE(waitUntil([&] { return !first->runs(); }));
  first.reset();
  RunningDock next(setup);
  EXPECT_TRUE(next.started()) << next.logText();
}

}  // namespace
}  // namespace quayline::x11test
