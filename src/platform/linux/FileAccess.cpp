#include "platform/linux/FileAccess.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace quayline {
namespace {

std::error_code lastError() {
  return {errno, std::generic_category()};
}

class Descriptor {
 public:
  explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
  ~Descriptor() {
    if (descriptor_ >= 0) {
      ::close(descriptor_);
    }
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return descriptor_; }
  // Closes now, so that a failing close (a late write error) can be seen.
  std::error_code close() {
    const int result = ::close(descriptor_);
    descriptor_ = -1;
    return result == 0 ? std::error_code{} : lastError();
  }

 private:
  int descriptor_;
};

std::error_code writeAll(int descriptor, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return lastError();
    }
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return {};
}

void syncDirectory(const std::filesystem::path& directory) {
  const Descriptor descriptor(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (descriptor.get() >= 0) {
    ::fsync(descriptor.get());
  }
}

}  // namespace

FileContents readWholeFile(const std::filesystem::path& file, std::size_t limit) {
  const Descriptor descriptor(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
  if (descriptor.get() < 0) {
    if (errno == ENOENT) {
      return {.status = FileContents::Status::missing};
    }
    return {.status = FileContents::Status::failed, .error = lastError()};
  }
  struct stat info {};
  if (::fstat(descriptor.get(), &info) != 0) {
    return {.status = FileContents::Status::failed, .error = lastError()};
  }
  if (!S_ISREG(info.st_mode)) {
    return {.status = FileContents::Status::failed,
            .error = std::make_error_code(std::errc::invalid_argument)};
  }
  FileContents contents{.status = FileContents::Status::read};
  std::uint8_t buffer[16384];
  for (;;) {
    const ssize_t count = ::read(descriptor.get(), buffer, sizeof buffer);
    if (count < 0) {
      if (errno == EINTR) {
        continue;
      }
      return {.status = FileContents::Status::failed, .error = lastError()};
    }
    if (count == 0) {
      return contents;
    }
    if (contents.bytes.size() + static_cast<std::size_t>(count) > limit) {
      return {.status = FileContents::Status::failed,
              .error = std::make_error_code(std::errc::file_too_large)};
    }
    contents.bytes.insert(contents.bytes.end(), buffer, buffer + count);
  }
}

std::error_code writeFileAtomically(const std::filesystem::path& target,
                                    std::span<const std::uint8_t> bytes, mode_t mode) {
  const std::filesystem::path directory = target.parent_path();
  // The random suffix never ends in the target's extension, so directory listings that look
  // for it never pick up a half-written file.
  std::string temporary = (directory / ("." + target.filename().string() + ".XXXXXX")).string();
  Descriptor descriptor(::mkostemp(temporary.data(), O_CLOEXEC));
  if (descriptor.get() < 0) {
    return lastError();
  }
  std::error_code error;
  if (::fchmod(descriptor.get(), mode) != 0) {
    error = lastError();
  }
  if (!error) {
    error = writeAll(descriptor.get(), bytes);
  }
  if (!error && ::fsync(descriptor.get()) != 0) {
    error = lastError();
  }
  if (const std::error_code closed = descriptor.close(); !error) {
    error = closed;
  }
  if (!error && ::rename(temporary.c_str(), target.c_str()) != 0) {
    error = lastError();
  }
  if (error) {
    ::unlink(temporary.c_str());
    return error;
  }
  syncDirectory(directory);
  return {};
}

std::error_code createDirectories(const std::filesystem::path& directory, mode_t mode) {
  std::filesystem::path partial;
  for (const std::filesystem::path& component : directory) {
    partial /= component;
    if (::mkdir(partial.c_str(), mode) == 0) {
      continue;
    }
    if (errno != EEXIST) {
      return lastError();
    }
    struct stat info {};
    if (::stat(partial.c_str(), &info) != 0) {
      return lastError();
    }
    if (!S_ISDIR(info.st_mode)) {
      return std::make_error_code(std::errc::not_a_directory);
    }
  }
  struct stat info {};
  if (::stat(directory.c_str(), &info) != 0) {
    return lastError();
  }
  return S_ISDIR(info.st_mode) ? std::error_code{}
                               : std::make_error_code(std::errc::not_a_directory);
}

DirectoryLock::DirectoryLock(const std::filesystem::path& directory)
    : descriptor_(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
  if (descriptor_ < 0) {
    return;
  }
  while (::flock(descriptor_, LOCK_EX) != 0 && errno == EINTR) {
  }
}

DirectoryLock::~DirectoryLock() {
  if (descriptor_ >= 0) {
    ::close(descriptor_);  // closing releases the lock
  }
}

}  // namespace quayline
