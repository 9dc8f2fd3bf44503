#pragma once

// Some readers take a path rather than bytes: each input is written over one scratch file,
// created on first use and removed at exit.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace quayline::fuzz {

class ScratchFile {
 public:
  // `suffix` keeps the file name's extension, for readers that look at it. The path is
  // absolute, as readers of installed files expect.
  explicit ScratchFile(const std::string& suffix) {
    path_ = folder() + "/quayline-fuzz-XXXXXX" + suffix;
    fd_ = ::mkstemps(path_.data(), static_cast<int>(suffix.size()));
    if (fd_ < 0) {
      std::perror("scratch file");
      std::abort();
    }
  }
  ~ScratchFile() {
    ::close(fd_);
    ::unlink(path_.c_str());
  }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  // Replaces the file's content with the input and returns its path.
  const std::string& write(const std::uint8_t* data, std::size_t size) {
    if (::ftruncate(fd_, 0) != 0 || (size > 0 && ::pwrite(fd_, data, size, 0) != ssize_t(size))) {
      std::perror("scratch file");
      std::abort();
    }
    return path_;
  }

 private:
  // TMPDIR when set, else memory-backed /dev/shm: rewriting a file on disk for every input
  // makes a run twenty times slower.
  static std::string folder() {
    const char* tmp = std::getenv("TMPDIR");
    if (tmp && *tmp == '/') {
      return tmp;
    }
    return ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  }

  std::string path_;
  int fd_ = -1;
};

}  // namespace quayline::fuzz
