#include "platform/linux/LinuxProcesses.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <map>
#include <mutex>
#include <thread>

#include "foundation/FileReading.h"
#include "foundation/Utf8.h"

extern char** environ;

namespace quayline {

struct LinuxProcesses::Children {
  std::mutex mutex;
  std::condition_variable ended;
  // Children we launched: nothing while running, the status once collected.
  std::map<ProcessId, std::optional<int>> status;
};

namespace {

int statusCode(int raw) {
  if (WIFEXITED(raw)) {
    return WEXITSTATUS(raw);
  }
  if (WIFSIGNALED(raw)) {
    return 128 + WTERMSIG(raw);
  }
  return -1;
}

class SpawnSetup {
 public:
  explicit SpawnSetup(Processes::StandardError standardError) {
    posix_spawn_file_actions_init(&actions_);
    if (standardError == Processes::StandardError::discard) {
      posix_spawn_file_actions_addopen(&actions_, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    // A child starts clean: signals the program blocks or ignores (for orderly shutdown, say)
    // must not stop a child from ending when asked to.
    posix_spawnattr_init(&attributes_);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes_, &none);
    sigset_t all;
    sigfillset(&all);
    sigdelset(&all, SIGKILL);
    sigdelset(&all, SIGSTOP);
    posix_spawnattr_setsigdefault(&attributes_, &all);
    posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions_);
    posix_spawnattr_destroy(&attributes_);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  // The duplicate drops close-on-exec, so only the child's standard output keeps the pipe open.
  void redirectStandardOutput(int descriptor) {
    posix_spawn_file_actions_adddup2(&actions_, descriptor, STDOUT_FILENO);
  }
  const posix_spawn_file_actions_t* actions() const { return &actions_; }
  const posix_spawnattr_t* attributes() const { return &attributes_; }

 private:
  posix_spawn_file_actions_t actions_;
  posix_spawnattr_t attributes_;
};

}  // namespace

LinuxProcesses::LinuxProcesses() : children_(std::make_shared<Children>()) {}

LinuxProcesses::~LinuxProcesses() = default;

std::optional<ProcessId> LinuxProcesses::launch(const std::string& executable,
                                                const std::vector<std::string>& arguments,
                                                StandardError standardError) {
  return spawn(executable, arguments, standardError, -1);
}

std::optional<Processes::Output> LinuxProcesses::run(const std::string& executable,
                                                     const std::vector<std::string>& arguments) {
  int pipe[2];
  if (::pipe2(pipe, O_CLOEXEC) != 0) {
    return std::nullopt;
  }
  const auto pid = spawn(executable, arguments, StandardError::discard, pipe[1]);
  ::close(pipe[1]);
  Output output;
  char buffer[4096];
  for (;;) {
    const ssize_t count = ::read(pipe[0], buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) {
      continue;
    }
    if (count <= 0) {
      break;
    }
    output.standardOutput.append(buffer, static_cast<std::size_t>(count));
  }
  ::close(pipe[0]);
  if (!pid) {
    return std::nullopt;
  }
  output.status = wait(*pid).value_or(-1);
  return output;
}

std::optional<ProcessId> LinuxProcesses::spawn(const std::string& executable,
                                               const std::vector<std::string>& arguments,
                                               StandardError standardError, int standardOutput) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(executable.c_str()));
  for (const auto& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);

  SpawnSetup setup(standardError);
  if (standardOutput >= 0) {
    setup.redirectStandardOutput(standardOutput);
  }
  pid_t pid = 0;
  // Held across the spawn so the reaper cannot record the child before it is known.
  std::unique_lock lock(children_->mutex);
  if (posix_spawn(&pid, executable.c_str(), setup.actions(), setup.attributes(), argv.data(),
                  environ) != 0) {
    return std::nullopt;
  }
  children_->status.emplace(pid, std::nullopt);
  lock.unlock();

  std::thread([children = children_, pid] {
    // Learn of the end first without collecting, so the id stays ours (and cannot be reused)
    // until the status is recorded under the lock; terminate() relies on that.
    siginfo_t info{};
    while (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) != 0 &&
           errno == EINTR) {
    }
    std::lock_guard guard(children->mutex);
    int raw = 0;
    while (::waitpid(pid, &raw, 0) < 0 && errno == EINTR) {
    }
    children->status[pid] = statusCode(raw);
    children->ended.notify_all();
  }).detach();
  return pid;
}

void LinuxProcesses::terminate(ProcessId pid) {
  std::lock_guard guard(children_->mutex);
  auto child = children_->status.find(pid);
  if (child != children_->status.end() && child->second) {
    return;
  }
  ::kill(pid, SIGTERM);
}

std::optional<int> LinuxProcesses::wait(ProcessId pid) {
  std::unique_lock lock(children_->mutex);
  auto child = children_->status.find(pid);
  if (child == children_->status.end()) {
    return std::nullopt;
  }
  children_->ended.wait(lock, [&] { return children_->status[pid].has_value(); });
  return children_->status[pid];
}

bool LinuxProcesses::exists(ProcessId pid) {
  return ::kill(pid, 0) == 0 || errno == EPERM;
}

ProcessId LinuxProcesses::currentProcessIdentifier() {
  return ::getpid();
}

std::vector<std::string> LinuxProcesses::arguments(ProcessId pid) {
  if (pid <= 0) {
    return {};
  }
  // The kernel gives each argument NUL-terminated. A process that rewrote its own command line
  // may leave the last one unterminated: it is still an argument.
  const auto bytes = readFile("/proc/" + std::to_string(pid) + "/cmdline", std::size_t{4} << 20);
  if (!bytes) {
    return {};
  }
  std::vector<std::string> result;
  std::size_t start = 0;
  while (start < bytes->size()) {
    auto end = bytes->find('\0', start);
    if (end == std::string::npos) {
      end = bytes->size();
    }
    result.push_back(validUtf8(std::string_view(*bytes).substr(start, end - start)));
    start = end + 1;
  }
  return result;
}

}  // namespace quayline
