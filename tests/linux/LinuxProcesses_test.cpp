#include "platform/linux/LinuxProcesses.h"

#include <pthread.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <thread>

#include "fakes/TemporaryHome.h"

namespace quayline {
namespace {

using namespace std::chrono_literals;
using LinuxProcessesTest = TemporaryHome;

// The state letter of /proc/<pid>/stat, or nothing once the process is gone.
std::optional<char> processState(ProcessId pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) {
    return std::nullopt;
  }
  return line.at(line.rfind(')') + 2);
}

TEST_F(LinuxProcessesTest, LaunchesWithArgumentsAndReportsTheExitStatus) {
  LinuxProcesses processes;
  EXPECT_FALSE(processes.launch((root / "absent").string(), {}));
  EXPECT_FALSE(processes.wait(::getpid()));  // not a child of ours
  auto pid = processes.launch(
      "/bin/sh", {"-c", "echo \"$0\" > \"$1\"; exit 3", "a b", (root / "out").string()});
  ASSERT_TRUE(pid);
  EXPECT_EQ(processes.wait(*pid), 3);
  std::ifstream out(root / "out");
  std::string line;
  std::getline(out, line);
  EXPECT_EQ(line, "a b");  // one argument, never split by a shell
}

TEST_F(LinuxProcessesTest, ChildrenNobodyWaitsForAreCollected) {
  LinuxProcesses processes;
  auto pid = processes.launch("/bin/true", {});
  ASSERT_TRUE(pid);
  auto deadline = std::chrono::steady_clock::now() + 5s;
  while (processState(*pid) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(10ms);
  }
  EXPECT_EQ(processState(*pid), std::nullopt) << "left as a zombie";
  EXPECT_EQ(processes.wait(*pid), 0);  // the status is still known
}

TEST_F(LinuxProcessesTest, TerminateEndsAChildEvenWhenTheProgramBlocksTheSignal) {
  // A program that handles termination through a signal queue blocks the signals; a child must
  // not inherit that.
  sigset_t blocked, previous;
  sigemptyset(&blocked);
  sigaddset(&blocked, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &blocked, &previous);
  LinuxProcesses processes;
  auto pid = processes.launch("/bin/sleep", {"30"});
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  ASSERT_TRUE(pid);
  EXPECT_TRUE(processes.exists(*pid));

  processes.terminate(*pid);

  EXPECT_EQ(processes.wait(*pid), 128 + SIGTERM);
  EXPECT_FALSE(processes.exists(*pid));
}

TEST_F(LinuxProcessesTest, DiscardedStandardErrorGoesNowhere) {
  LinuxProcesses processes;
  testing::internal::CaptureStderr();
  auto pid =
      processes.launch("/bin/sh", {"-c", "echo noise >&2"}, Processes::StandardError::discard);
  ASSERT_TRUE(pid);
  processes.wait(*pid);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(LinuxProcessesTest, ExistenceOfProcesses) {
  LinuxProcesses processes;
  EXPECT_TRUE(processes.exists(processes.currentProcessIdentifier()));
  EXPECT_EQ(processes.currentProcessIdentifier(), ::getpid());
  EXPECT_TRUE(processes.exists(1));  // not ours to signal, but there
  auto pid = processes.launch("/bin/true", {});
  ASSERT_TRUE(pid);
  processes.wait(*pid);
  EXPECT_FALSE(processes.exists(*pid));
}

TEST_F(LinuxProcessesTest, ReadsAnotherProcesssCommandLine) {
  LinuxProcesses processes;
  // The shell ignores the extra argument (its $0); a program parsing options would exit at once.
  const std::string loop = "while :; do sleep 1; done";
  auto pid = processes.launch("/bin/sh", {"-c", loop, "--user-data-dir=/tmp/a b\xff"});
  ASSERT_TRUE(pid);
  // Until the child has executed, it still runs our own command line.
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  const auto started = [&] {
    const auto arguments = processes.arguments(*pid);
    return !arguments.empty() && arguments.front() == "/bin/sh";
  };
  while (!started() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(5ms);
  }
  EXPECT_EQ(
      processes.arguments(*pid),
      (std::vector<std::string>{"/bin/sh", "-c", loop, "--user-data-dir=/tmp/a b\xEF\xBF\xBD"}));
  processes.terminate(*pid);
  processes.wait(*pid);
  EXPECT_TRUE(processes.arguments(*pid).empty());
  EXPECT_TRUE(processes.arguments(-1).empty());
}

}  // namespace
}  // namespace quayline
