#pragma once

#include <memory>

#include "platform/Processes.h"

namespace quayline {

// Child processes through posix_spawn. Each child has a reaper thread that collects it as soon
// as it ends, so no child lingers as a zombie whether or not anyone waits for it.
class LinuxProcesses final : public Processes {
 public:
  LinuxProcesses();
  ~LinuxProcesses() override;

  std::optional<ProcessId> launch(const std::string& executable,
                                  const std::vector<std::string>& arguments,
                                  StandardError standardError = StandardError::inherit) override;
  std::optional<Output> run(const std::string& executable,
                            const std::vector<std::string>& arguments) override;
  // A child of ours that has already ended is not signalled: its id may belong to another
  // process by now.
  void terminate(ProcessId pid) override;
  // The exit code, or 128 plus the signal number for a child ended by a signal.
  std::optional<int> wait(ProcessId pid) override;
  bool exists(ProcessId pid) override;
  ProcessId currentProcessIdentifier() override;
  // From /proc/<pid>/cmdline.
  std::vector<std::string> arguments(ProcessId pid) override;

 private:
  // `standardOutput` is a descriptor the child writes its output to, or -1 to inherit ours.
  std::optional<ProcessId> spawn(const std::string& executable,
                                 const std::vector<std::string>& arguments,
                                 StandardError standardError, int standardOutput);

  struct Children;
  // Shared with the reaper threads, which may outlive this object.
  std::shared_ptr<Children> children_;
};

}  // namespace quayline
