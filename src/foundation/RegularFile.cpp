#include "foundation/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace quayline {

namespace {

struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) {
      ::close(fd);
    }
  }
};

}  // namespace

std::optional<RegularFileContents> readRegularFile(const std::filesystem::path& path,
                                                   std::size_t limit) {
  const Descriptor file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
  struct stat status {};
  if (file.fd < 0 || ::fstat(file.fd, &status) != 0 || !S_ISREG(status.st_mode) ||
      status.st_size < 0 || static_cast<std::uint64_t>(status.st_size) > limit) {
    return std::nullopt;
  }
  RegularFileContents contents;
  contents.size = static_cast<std::uint64_t>(status.st_size);
  contents.modificationNanoseconds =
      static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec;
  contents.bytes.resize(contents.size);
  std::size_t got = 0;
  // A file that shrinks while being read ends the read early; one that grows is cut at the
  // size it had when opened.
  while (got < contents.bytes.size()) {
    const ssize_t n = ::read(file.fd, contents.bytes.data() + got, contents.bytes.size() - got);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0) {
      return std::nullopt;
    }
    if (n == 0) {
      break;
    }
    got += static_cast<std::size_t>(n);
  }
  contents.bytes.resize(got);
  return contents;
}

}  // namespace quayline
