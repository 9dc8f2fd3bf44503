#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Processes.h"

namespace quayline {

// Processes in memory. Records every launch and termination request; launched children count as
// existing until they are terminated.
class FakeProcesses final : public Processes {
 public:
  struct Launch {
    std::string executable;
    std::vector<std::string> arguments;
    StandardError standardError = StandardError::inherit;
    std::optional<ProcessId> pid;  // nothing when the launch was made to fail
    bool operator==(const Launch&) const = default;
  };

  std::optional<ProcessId> launch(const std::string& executable,
                                  const std::vector<std::string>& arguments,
                                  StandardError standardError = StandardError::inherit) override;
  // Answers from `outputs`, keyed by the executable and its arguments joined with blanks;
  // anything else could not be started.
  std::optional<Output> run(const std::string& executable,
                            const std::vector<std::string>& arguments) override {
    std::string key = executable;
    for (const auto& argument : arguments) {
      key += " " + argument;
    }
    runs.push_back(key);
    auto found = outputs.find(key);
    return found == outputs.end() ? std::nullopt : std::optional<Output>(found->second);
  }
  void terminate(ProcessId pid) override;
  std::optional<int> wait(ProcessId pid) override;
  bool exists(ProcessId pid) override { return existing.contains(pid); }
  ProcessId currentProcessIdentifier() override { return currentPid; }
  std::vector<std::string> arguments(ProcessId pid) override {
    ++argumentReads[pid];
    auto found = commandLines.find(pid);
    return found == commandLines.end() ? std::vector<std::string>{} : found->second;
  }

  // The launches of one executable, in order.
  std::vector<Launch> launchesOf(const std::string& executable) const;

  std::vector<Launch> launches;
  std::vector<ProcessId> terminations;
  std::set<ProcessId> existing;
  std::map<ProcessId, int> exitStatuses;  // what wait() reports; 0 when not set
  std::set<std::string> failingExecutables;
  std::map<ProcessId, std::vector<std::string>> commandLines;  // what arguments() reports
  std::map<ProcessId, int> argumentReads;
  std::map<std::string, Output> outputs;
  std::vector<std::string> runs;
  bool failAllLaunches = false;
  ProcessId currentPid = 4242;
  ProcessId nextPid = 10000;
  // Called when a termination is requested, before it is recorded; lets a test see what other
  // fakes held at that moment.
  std::function<void(ProcessId)> onTerminate;
};

}  // namespace quayline
