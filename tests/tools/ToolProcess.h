#pragma once

// Black-box tests of the tools: a program run to completion with the given arguments,
// environment and standard input, collecting its standard output and error, in a temporary folder
// of the test's own.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "foundation/FileReading.h"

namespace quayline::tools {

struct ToolResult {
  int status = -1;  // the exit status, or -1 when the program did not exit normally
  std::string out;
  std::string err;
};

inline ToolResult runTool(const std::string& program, const std::vector<std::string>& arguments,
                          const std::vector<std::string>& environment,
                          const std::string& input = "") {
  // A program that exits without reading its input must not take the test down with it.
  std::signal(SIGPIPE, SIG_IGN);
  std::array<int, 2> in{}, out{}, err{};
  if (::pipe2(in.data(), O_CLOEXEC) != 0 || ::pipe2(out.data(), O_CLOEXEC) != 0 ||
      ::pipe2(err.data(), O_CLOEXEC) != 0) {
    return {};
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);

  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (const std::string& variable : environment) {
    envp.push_back(const_cast<char*>(variable.c_str()));
  }
  envp.push_back(nullptr);

  pid_t pid = 0;
  const int spawned =
      posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(in[0]);
  ::close(out[1]);
  ::close(err[1]);
  ToolResult result;
  if (spawned != 0) {
    ::close(in[1]);
    ::close(out[0]);
    ::close(err[0]);
    return result;
  }

  // Feed the input and drain both outputs together, so that no pipe fills up and blocks.
  std::size_t written = 0;
  int inFd = in[1];
  if (input.empty()) {
    ::close(inFd);
    inFd = -1;
  }
  int outFd = out[0];
  int errFd = err[0];
  while (inFd >= 0 || outFd >= 0 || errFd >= 0) {
    std::array<pollfd, 3> fds{{{inFd, POLLOUT, 0}, {outFd, POLLIN, 0}, {errFd, POLLIN, 0}}};
    if (::poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) {
        continue;
      }
      break;
    }
    if (inFd >= 0 && fds[0].revents) {
      const ssize_t count = ::write(inFd, input.data() + written, input.size() - written);
      if (count > 0) {
        written += static_cast<std::size_t>(count);
      }
      if (count <= 0 || written == input.size()) {
        ::close(inFd);
        inFd = -1;
      }
    }
    for (auto [fd, sink, index] : {std::tuple{&outFd, &result.out, 1}, {&errFd, &result.err, 2}}) {
      if (*fd >= 0 && fds[index].revents) {
        char buffer[4096];
        const ssize_t count = ::read(*fd, buffer, sizeof buffer);
        if (count > 0) {
          sink->append(buffer, static_cast<std::size_t>(count));
        } else if (count == 0 || errno != EINTR) {
          ::close(*fd);
          *fd = -1;
        }
      }
    }
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

namespace fs = std::filesystem;

inline std::string fileText(const fs::path& path) {
  return quayline::readFile(path).value_or("");
}

// Every file and folder below `directory`, with the files' contents.
inline std::map<std::string, std::string> snapshot(const fs::path& directory) {
  std::map<std::string, std::string> files;
  if (fs::exists(directory)) {
    for (const auto& entry : fs::recursive_directory_iterator(directory)) {
      files[entry.path().string()] = entry.is_regular_file() ? fileText(entry.path()) : "<dir>";
    }
  }
  return files;
}

// A temporary folder for each test, removed after it; the tools keep their settings in
// `preferences_` below it.
class ToolTest : public ::testing::Test {
 protected:
  ToolTest() {
    std::string pattern = (fs::temp_directory_path() / "quayline-tool-XXXXXX").string();
    root_ = ::mkdtemp(pattern.data());
    preferences_ = root_ / "preferences";
  }
  ~ToolTest() override { fs::remove_all(root_); }

  fs::path root_;
  fs::path preferences_;
};

}  // namespace quayline::tools
