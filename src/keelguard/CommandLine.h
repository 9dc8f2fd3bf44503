#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

namespace keelguard {

struct Arguments {
  pid_t watchedPid = 0;
  std::string snapshotPath;
};

// A base-10 signed 32-bit integer: an optional single sign, then digits only.
std::optional<pid_t> parsePid(std::string_view text);

// Nothing when there are fewer than two arguments or the pid does not parse; arguments beyond
// the second are ignored.
std::optional<Arguments> parseCommandLine(int argc, const char* const* argv);

}  // namespace keelguard
