#include "fakes/FakeProcesses.h"

namespace quayline {

std::optional<ProcessId> FakeProcesses::launch(const std::string& executable,
                                               const std::vector<std::string>& arguments,
                                               StandardError standardError) {
  std::optional<ProcessId> pid;
  if (!failAllLaunches && !failingExecutables.contains(executable)) {
    pid = nextPid++;
    existing.insert(*pid);
  }
  launches.push_back({executable, arguments, standardError, pid});
  return pid;
}

void FakeProcesses::terminate(ProcessId pid) {
  if (onTerminate) {
    onTerminate(pid);
  }
  terminations.push_back(pid);
  existing.erase(pid);
}

std::optional<int> FakeProcesses::wait(ProcessId pid) {
  for (const auto& launched : launches) {
    if (launched.pid == pid) {
      existing.erase(pid);
      auto status = exitStatuses.find(pid);
      return status == exitStatuses.end() ? 0 : status->second;
    }
  }
  return std::nullopt;
}

std::vector<FakeProcesses::Launch> FakeProcesses::launchesOf(const std::string& executable) const {
  std::vector<Launch> result;
  for (const auto& launched : launches) {
    if (launched.executable == executable) {
      result.push_back(launched);
    }
  }
  return result;
}

}  // namespace quayline
