#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <span>
#include <system_error>
#include <vector>

namespace quayline {

// Whole-file reads and crash-safe writes for the small files adapters keep.

struct FileContents {
  enum class Status { read, missing, failed };
  Status status = Status::missing;
  std::vector<std::uint8_t> bytes;
  std::error_code error;  // why it failed
};

// Reads a regular file of at most `limit` bytes. A file that is absent is `missing`; one that
// cannot be opened or read, is not a regular file or is larger than the limit has `failed`.
FileContents readWholeFile(const std::filesystem::path& file, std::size_t limit);

// Writes the bytes beside the target under a temporary name, flushes them to the disk and
// renames them over the target, so readers see the old file or the new one, never a part.
std::error_code writeFileAtomically(const std::filesystem::path& target,
                                    std::span<const std::uint8_t> bytes, mode_t mode);

// Creates the directory and its missing parents with the given mode.
std::error_code createDirectories(const std::filesystem::path& directory, mode_t mode);

// An exclusive advisory lock on a directory, held for the object's life, so cooperating
// processes do not interleave their read-modify-write of the files inside. Without the
// directory it locks nothing.
class DirectoryLock {
 public:
  explicit DirectoryLock(const std::filesystem::path& directory);
  ~DirectoryLock();
  DirectoryLock(const DirectoryLock&) = delete;
  DirectoryLock& operator=(const DirectoryLock&) = delete;

 private:
  int descriptor_ = -1;
};

}  // namespace quayline
