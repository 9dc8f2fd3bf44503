#pragma once

#include <optional>
#include <string>

#include "platform/Processes.h"

// What /proc tells about another process.
namespace quayline::x11::ProcessInfo {

// When the process started, in Unix seconds: its start time after boot plus the boot time.
std::optional<double> startTime(ProcessId pid);
// The file name of the program the process runs; nothing when /proc does not say (another
// user's process, or one that has ended).
std::optional<std::string> executableName(ProcessId pid);

}  // namespace quayline::x11::ProcessInfo
