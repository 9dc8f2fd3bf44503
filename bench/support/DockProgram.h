#pragma once

// Running the built program from a benchmark: its files in the build tree, quiet child
// processes, and a private home whose program copy leaves the system dock alone (so a benchmark
// never starts Keelguard or ends processes named "Dock").
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

namespace quayline::bench {

namespace fs = std::filesystem;

// bench/<benchmark> sits beside stage/ in the build tree.
inline fs::path buildTree() {
  return fs::read_symlink("/proc/self/exe").parent_path().parent_path();
}
inline fs::path stagedProgram() {
  return buildTree() / "stage" / "bin" / "quayline";
}
inline fs::path defaultsTool() {
  return buildTree() / "stage" / "bin" / "quayline-defaults";
}

// Starts a program with its output discarded; -1 when it could not be started.
inline pid_t spawnQuietly(const std::vector<std::string>& arguments) {
  std::vector<std::string> copy = arguments;
  std::vector<char*> argv;
  for (auto& argument : copy) {
    argv.push_back(argument.data());
  }
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
    pid = -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

inline void runToEnd(const std::vector<std::string>& arguments) {
  const pid_t pid = spawnQuietly(arguments);
  if (pid > 0) {
    ::waitpid(pid, nullptr, 0);
  }
}

inline void endProcess(pid_t pid) {
  if (pid > 0) {
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
  }
}

// quayline-defaults takes data values in hexadecimal.
inline std::string hex(const std::string& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

// A temporary home (the user's folders and the settings folder point inside it) holding a copy
// of the program; removed with the object.
class PrivateHome {
 public:
  explicit PrivateHome(const std::string& name) {
    root_ = fs::temp_directory_path() / (name + "-" + std::to_string(::getpid()));
    fs::remove_all(root_);
    for (auto [variable, folder] : {std::pair{"HOME", "home"},
                                    {"XDG_CONFIG_HOME", "config"},
                                    {"XDG_DATA_HOME", "data"},
                                    {"XDG_CACHE_HOME", "cache"},
                                    {"XDG_RUNTIME_DIR", "runtime"},
                                    {"QUAYLINE_PREFERENCES_DIR", "prefs"}}) {
      fs::create_directories(root_ / folder);
      ::setenv(variable, (root_ / folder).c_str(), 1);
    }
    fs::permissions(root_ / "runtime", fs::perms::owner_all);
    fs::create_directories(root_ / "prefix" / "bin");
    fs::create_directories(root_ / "prefix" / "share" / "quayline");
    fs::copy_file(stagedProgram(), executable());
    std::ofstream(root_ / "prefix" / "share" / "quayline" / "Info.plist")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
           "<key>CFBundleIdentifier</key><string>com.orrin.quayline</string>"
           "<key>QuaylineHidesSystemDock</key><false/></dict></plist>\n";
  }
  ~PrivateHome() { fs::remove_all(root_); }
  PrivateHome(const PrivateHome&) = delete;
  PrivateHome& operator=(const PrivateHome&) = delete;

  const fs::path& root() const { return root_; }
  fs::path executable() const { return root_ / "prefix" / "bin" / "quayline"; }

  // Writes one setting through quayline-defaults, e.g. {"com.apple.dock", "tilesize", "-int",
  // "64"}.
  void write(std::initializer_list<std::string> domainKeyTypeValue) const {
    std::vector<std::string> arguments{defaultsTool().string(), "write"};
    arguments.insert(arguments.end(), domainKeyTypeValue);
    runToEnd(arguments);
  }

 private:
  fs::path root_;
};

}  // namespace quayline::bench
