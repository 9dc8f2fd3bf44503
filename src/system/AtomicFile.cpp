#include "system/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quayline {

namespace {

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

bool fail(std::string* error, std::string_view step) {
  if (error != nullptr) {
    *error = std::string(step) + ": " + std::strerror(errno);
  }
  return false;
}

}  // namespace

bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* error) {
  std::string temporary = path.string() + ".XXXXXX";
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) {
    return fail(error, "create");
  }
  if (!writeAll(fd, bytes) || ::fsync(fd) != 0) {
    int saved = errno;
    ::close(fd);
    ::unlink(temporary.c_str());
    errno = saved;
    return fail(error, "write");
  }
  if (::close(fd) != 0) {
    int saved = errno;
    ::unlink(temporary.c_str());
    errno = saved;
    return fail(error, "write");
  }
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    int saved = errno;
    ::unlink(temporary.c_str());
    errno = saved;
    return fail(error, "rename");
  }
  return true;
}

}  // namespace quayline
