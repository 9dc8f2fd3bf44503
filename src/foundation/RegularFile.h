#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace quayline {

struct RegularFileContents {
  std::string bytes;
  // Together these tell one version of the file from the next.
  std::uint64_t size = 0;
  std::int64_t modificationNanoseconds = 0;
};

// The contents of a regular file of at most `limit` bytes; nothing for anything else. The file
// is opened without blocking and checked on the open descriptor, so a FIFO or device put in
// its place can neither stall the caller nor feed it endless data.
std::optional<RegularFileContents> readRegularFile(const std::filesystem::path& path,
                                                   std::size_t limit);

}  // namespace quayline
