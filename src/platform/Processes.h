#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quayline {

using ProcessId = int;

// Child processes and the existence of other processes.
class Processes {
 public:
  enum class StandardError { inherit, discard };

  virtual ~Processes() = default;

  // Starts the executable at an absolute path with the arguments (not including argv[0]).
  // Never through a shell. Nothing when it could not be started. Children are reaped by the
  // adapter, so a child nobody waits for never lingers as a zombie.
  virtual std::optional<ProcessId> launch(const std::string& executable,
                                          const std::vector<std::string>& arguments,
                                          StandardError standardError = StandardError::inherit) = 0;

  struct Output {
    int status = 0;  // the exit code, or 128 plus the signal number
    std::string standardOutput;
  };
  // Runs the executable to its end (never through a shell) and returns what it printed on its
  // standard output; its standard error is discarded. Nothing when it could not be started.
  virtual std::optional<Output> run(const std::string& executable,
                                    const std::vector<std::string>& arguments) = 0;

  // Asks a child (or any process) to end (a termination request, not a kill).
  virtual void terminate(ProcessId pid) = 0;

  // Waits for a child this object launched; its exit status, or nothing when unknown.
  virtual std::optional<int> wait(ProcessId pid) = 0;

  // Whether a process with this id exists (and may be signalled).
  virtual bool exists(ProcessId pid) = 0;

  virtual ProcessId currentProcessIdentifier() = 0;

  // The command line a process runs with, argv[0] first; empty when it cannot be read (the
  // process ended, or belongs to someone we may not inspect).
  virtual std::vector<std::string> arguments(ProcessId pid) = 0;
};

}  // namespace quayline
