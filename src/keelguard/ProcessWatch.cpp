#include "ProcessWatch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <fstream>

namespace keelguard {

namespace {

// A process that has ended but whose parent has not collected it yet still answers kill(pid, 0).
// Quayline is then gone all the same, so a zombie counts as ended.
bool isZombie(pid_t pid) {
  if (pid <= 0) {
    return false;  // a process group, not one process
  }
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) {
    return false;
  }
  // "pid (command) state ...": the command may itself hold parentheses and spaces.
  auto close = line.rfind(')');
  return close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'Z';
}

bool isAlive(pid_t pid) {
  return ::kill(pid, 0) == 0 && !isZombie(pid);
}

bool fileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

}  // namespace

WatchOutcome watch(pid_t pid, const std::string& snapshotPath) {
  while (isAlive(pid)) {
    if (!fileExists(snapshotPath)) {
      return WatchOutcome::snapshotRemoved;
    }
    ::sleep(1);
  }
  return WatchOutcome::processEnded;
}

}  // namespace keelguard
