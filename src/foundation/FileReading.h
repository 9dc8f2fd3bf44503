#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace quayline {

// The whole file, or nothing when it cannot be opened or read (missing, a directory, a /proc
// entry whose process ended mid-read) or is larger than `limit`. Never throws: reading a
// stream through its buffer would, when the system call fails.
std::optional<std::string> readFile(const std::filesystem::path& path,
                                    std::size_t limit = std::size_t{64} << 20);

}  // namespace quayline
