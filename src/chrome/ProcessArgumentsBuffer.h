#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quayline {

// The argument strings of a macOS KERN_PROCARGS2 buffer: argc (32-bit little-endian), the
// executable path, padding NULs, then argv[0] … argv[argc-1], each NUL-terminated, then the
// environment (not read). Anything malformed gives fewer strings or none; invalid UTF-8 is
// replaced by U+FFFD. The macOS adapter of `Processes::arguments` reads through this.
std::vector<std::string> parseProcessArgumentsBuffer(std::string_view buffer);

}  // namespace quayline
