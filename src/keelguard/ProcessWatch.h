#pragma once

#include <sys/types.h>

#include <string>

namespace keelguard {

enum class WatchOutcome {
  snapshotRemoved,  // Quayline restored the dock itself while it still ran
  processEnded,
};

// Polls the watched process once a second, testing the snapshot before every sleep.
WatchOutcome watch(pid_t pid, const std::string& snapshotPath);

}  // namespace keelguard
