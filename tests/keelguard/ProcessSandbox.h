#pragma once

// A private home for black-box tests of Quayline's programs: temporary XDG folders, a stand-in
// for the system dock, an X display of its own (the dock needs one), and child processes that
// are always ended and reaped.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "foundation/FileReading.h"
#include "foundation/PropertyValue.h"

extern char** environ;

namespace quayline::testing {

namespace fs = std::filesystem;
using Dictionary = PropertyValue::Dictionary;
using Environment = std::map<std::string, std::string>;

inline std::string readFile(const fs::path& path) {
  return quayline::readFile(path).value_or(std::string());
}

inline void writeFile(const fs::path& path, std::string_view bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::optional<Dictionary> readDictionary(const fs::path& path) {
  const std::string bytes = readFile(path);
  auto decoded = decodePropertyList(std::string_view(bytes));
  if (!decoded || decoded->dictionary() == nullptr) {
    return std::nullopt;
  }
  return *decoded->dictionary();
}

// Polls until the condition holds or the time is up; returns the condition's last answer.
inline bool eventually(const std::function<bool()>& condition,
                       std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) {
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return condition();
}

// Whether a process exists and has not ended (a zombie counts as ended).
inline bool isAlive(pid_t pid) {
  if (::kill(pid, 0) != 0) {
    return false;
  }
  const std::string text = readFile("/proc/" + std::to_string(pid) + "/stat");
  const auto close = text.rfind(')');
  return close != std::string::npos && close + 2 < text.size() && text[close + 2] != 'Z';
}

// The processes whose command line starts with `executable`, and whose arguments contain
// `argument` when one is given.
inline std::vector<pid_t> processesRunning(const std::string& executable,
                                           const std::string& argument = "") {
  std::vector<pid_t> found;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    const std::string name = entry.path().filename();
    if (name.find_first_not_of("0123456789") != std::string::npos) {
      continue;
    }
    std::string commandLine = readFile(entry.path() / "cmdline");
    std::vector<std::string> parts;
    for (std::size_t start = 0; start < commandLine.size();) {
      const auto end = commandLine.find('\0', start);
      parts.push_back(commandLine.substr(start, end - start));
      start = end == std::string::npos ? commandLine.size() : end + 1;
    }
    if (parts.empty() || parts[0] != executable) {
      continue;
    }
    if (argument.empty() || std::find(parts.begin(), parts.end(), argument) != parts.end()) {
      const pid_t pid = std::stoi(name);
      if (isAlive(pid)) {
        found.push_back(pid);
      }
    }
  }
  return found;
}

// How a child ended, with what it wrote.
struct Finished {
  bool exited = false;
  bool signaled = false;
  int status = -1;  // the exit code, or the signal number when ended by one
  std::string out;
  std::string err;
};

// An Xvfb display for the test's programs, stopped with the object. Empty when none started.
class PrivateDisplay {
 public:
  PrivateDisplay() {
    for (int attempt = 0; attempt < 40 && name_.empty(); ++attempt) {
      const int number = 5400 + static_cast<int>((::getpid() * 7 + attempt * 31) % 2000);
      const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
      if (fs::exists(socket) || fs::exists("/tmp/.X" + std::to_string(number) + "-lock")) {
        continue;
      }
      const std::string display = ":" + std::to_string(number);
      std::vector<std::string> args{"Xvfb",     display,   "-nolisten", "tcp",
                                    "-noreset", "-screen", "0",         "1280x800x24"};
      std::vector<char*> argv;
      for (auto& arg : args) {
        argv.push_back(arg.data());
      }
      argv.push_back(nullptr);
      posix_spawn_file_actions_t actions;
      posix_spawn_file_actions_init(&actions);
      posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
      posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
      pid_t pid = -1;
      const int failed = posix_spawnp(&pid, "Xvfb", &actions, nullptr, argv.data(), environ);
      posix_spawn_file_actions_destroy(&actions);
      if (failed != 0) {
        return;
      }
      // Ready once its socket exists; a server that ends lost the number to another.
      const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
      while (!fs::exists(socket) && ::waitpid(pid, nullptr, WNOHANG) == 0 &&
             std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
      if (fs::exists(socket) && ::kill(pid, 0) == 0) {
        pid_ = pid;
        name_ = display;
      } else {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
      }
    }
  }
  ~PrivateDisplay() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  PrivateDisplay(const PrivateDisplay&) = delete;
  PrivateDisplay& operator=(const PrivateDisplay&) = delete;
  const std::string& name() const { return name_; }

 private:
  pid_t pid_ = -1;
  std::string name_;
};

class ProcessSandbox : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() /
           ("quayline-sandbox-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    for (auto [name, folder] : {std::pair{"HOME", "home"},
                                {"XDG_CONFIG_HOME", "config"},
                                {"XDG_DATA_HOME", "data"},
                                {"XDG_RUNTIME_DIR", "runtime"},
                                {"QUAYLINE_PREFERENCES_DIR", "prefs"}}) {
      fs::create_directories(root / folder);
      fs::permissions(root / folder, fs::perms::owner_all, fs::perm_options::replace);
      ::setenv(name, (root / folder).c_str(), 1);
    }
    // The dock's windows stay off screen; its adapters still talk to an X server.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The build tree runs in place, without offering to install itself.
    ::setenv("QUAYLINE_NO_MOVE_PROMPT", "1", 1);
    display = std::make_unique<PrivateDisplay>();
    ASSERT_FALSE(display->name().empty()) << "Xvfb did not start";
    ::setenv("DISPLAY", display->name().c_str(), 1);
    // The stand-in for the system dock: any long-running program whose process is named "Dock".
    fs::create_directories(root / "bin");
    fs::copy_file(fs::exists("/usr/bin/sleep") ? "/usr/bin/sleep" : "/bin/sleep",
                  root / "bin" / "Dock");
  }

  void TearDown() override {
    for (pid_t pid : started) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
    }
    for (pid_t pid : adopted) {
      ::kill(pid, SIGKILL);
    }
    fs::remove_all(root);
    display.reset();
  }

  fs::path snapshot() const { return root / "data" / "Quayline" / "SystemDockSnapshot.plist"; }
  fs::path domainFile() const { return root / "prefs" / "com.apple.dock.plist"; }
  std::optional<Dictionary> domain() const { return readDictionary(domainFile()); }
  void writeDomain(const Dictionary& values) {
    writeFile(domainFile(), encodeXmlPropertyList(PropertyValue(values)));
  }

  // Starts a program with the test's environment plus `extra`; its output goes to files.
  pid_t start(const std::vector<std::string>& argv, const Environment& extra = {}) {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
      std::string text(*entry);
      if (!extra.contains(text.substr(0, text.find('=')))) {
        environment.push_back(text);
      }
    }
    for (const auto& [name, value] : extra) {
      environment.push_back(name + "=" + value);
    }
    std::vector<char*> envp;
    for (auto& text : environment) {
      envp.push_back(text.data());
    }
    envp.push_back(nullptr);
    std::vector<char*> args;
    for (const auto& argument : argv) {
      args.push_back(const_cast<char*>(argument.c_str()));
    }
    args.push_back(nullptr);

    const auto index = std::to_string(started.size());
    const auto out = root / ("out-" + index);
    const auto err = root / ("err-" + index);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    const int failed =
        posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_EQ(failed, 0) << argv[0];
    started.push_back(pid);
    outputs[pid] = {out, err};
    return pid;
  }

  pid_t startDock() { return start({(root / "bin" / "Dock").string(), "600"}); }

  // Waits for a child to end and collects it; nothing when it still runs after `limit`.
  std::optional<Finished> finish(pid_t pid,
                                 std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    int raw = 0;
    while (::waitpid(pid, &raw, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > end) {
        return std::nullopt;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::erase(started, pid);
    Finished result;
    result.exited = WIFEXITED(raw);
    result.signaled = WIFSIGNALED(raw);
    result.status = result.exited ? WEXITSTATUS(raw) : WTERMSIG(raw);
    result.out = readFile(outputs[pid].first);
    result.err = readFile(outputs[pid].second);
    return result;
  }

  // The exit status of a child that ends within the limit.
  std::optional<int> exitStatus(pid_t pid) {
    auto finished = finish(pid);
    if (!finished || !finished->exited) {
      return std::nullopt;
    }
    return finished->status;
  }

  // Whether a child of ours has ended (and reaps it when it has).
  bool ended(pid_t pid) {
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) {
      std::erase(started, pid);
      return true;
    }
    return std::find(started.begin(), started.end(), pid) == started.end();
  }

  std::string errorOutput(pid_t pid) { return readFile(outputs[pid].second); }
  std::string standardOutput(pid_t pid) { return readFile(outputs[pid].first); }

  fs::path root;
  std::unique_ptr<PrivateDisplay> display;
  std::vector<pid_t> started;
  std::vector<pid_t> adopted;  // processes not ours to reap (children of the program under test)
  std::map<pid_t, std::pair<fs::path, fs::path>> outputs;
};

}  // namespace quayline::testing
