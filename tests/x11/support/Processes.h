#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace quayline::x11test {

// Starts a program (no shell) with extra environment variables; its standard output and error
// go to `logFile` (or /dev/null). -1 when it could not be started.
pid_t spawnProcess(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& logFile = "/dev/null", int keepDescriptor = -1);

// Asks the process to end, waits for it, and kills it when it does not end in time. Reaps it
// when it is our child.
void stopProcess(pid_t pid);

// Whether the process still runs (a zombie does not count).
bool processRuns(pid_t pid);

}  // namespace quayline::x11test
