#include "Processes.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <memory>
#include <thread>

extern char** environ;

namespace quayline::x11test {

pid_t spawnProcess(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& logFile, int keepDescriptor) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                   0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  if (keepDescriptor >= 0) {
    // dup2 onto itself clears close-on-exec, so the child inherits this one descriptor.
    posix_spawn_file_actions_adddup2(&actions, keepDescriptor, keepDescriptor);
  }
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int failed = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return failed == 0 ? pid : -1;
}

bool processRuns(pid_t pid) {
  if (pid <= 0 || ::kill(pid, 0) != 0) {
    return false;
  }
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string content((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const auto close = content.rfind(')');
  return close != std::string::npos && close + 2 < content.size() && content[close + 2] != 'Z';
}

void stopProcess(pid_t pid) {
  if (pid <= 0) {
    return;
  }
  ::kill(pid, SIGTERM);
  const auto reaped = [pid] {
    int status = 0;
    const pid_t result = ::waitpid(pid, &status, WNOHANG);
    // Not our child (ECHILD): gone once it no longer runs.
    return result == pid || (result < 0 && errno == ECHILD && !processRuns(pid));
  };
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  while (std::chrono::steady_clock::now() < until) {
    if (reaped()) {
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::kill(pid, SIGKILL);
  int status = 0;
  ::waitpid(pid, &status, 0);
}

std::string commandOutput(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  std::string output;
  std::array<char, 4096> buffer{};
  while (pipe && std::fgets(buffer.data(), buffer.size(), pipe.get()) != nullptr) {
    output += buffer.data();
  }
  return output;
}

SessionBus::SessionBus() {
  const std::string output =
      commandOutput("dbus-daemon --session --fork --print-address=1 --print-pid=1 2>/dev/null");
  const auto newline = output.find('\n');
  if (newline != std::string::npos) {
    address_ = output.substr(0, newline);
    pid_ = static_cast<pid_t>(std::atoi(output.c_str() + newline + 1));
  }
}

std::string SessionBus::gdbus(const std::string& arguments) const {
  return commandOutput("DBUS_SESSION_BUS_ADDRESS='" + address_ + "' gdbus " + arguments + " 2>&1");
}

}  // namespace quayline::x11test
