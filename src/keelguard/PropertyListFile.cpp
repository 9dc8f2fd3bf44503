#include "PropertyListFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string_view>
#include <vector>

namespace keelguard {

namespace {

// Far beyond any preference file; a larger file is not something to load whole.
constexpr off_t maximumFileSize = 64 * 1024 * 1024;

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

std::string directoryOf(const std::string& path) {
  auto slash = path.rfind('/');
  if (slash == std::string::npos) {
    return ".";
  }
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

PropertyListRead readDictionaryFile(const std::string& path) {
  PropertyListRead result;
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    result.status =
        errno == ENOENT ? PropertyListRead::Status::missing : PropertyListRead::Status::unreadable;
    return result;
  }
  result.status = PropertyListRead::Status::unreadable;
  struct stat info {};
  std::vector<char> bytes;
  bool complete = false;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= maximumFileSize) {
    bytes.resize(static_cast<size_t>(info.st_size));
    size_t filled = 0;
    while (filled < bytes.size()) {
      ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
      if (got < 0 && errno == EINTR) {
        continue;
      }
      if (got <= 0) {
        break;
      }
      filled += static_cast<size_t>(got);
    }
    complete = filled == bytes.size();
  }
  ::close(fd);
  if (!complete || bytes.empty()) {
    return result;
  }
  plist_t root = nullptr;
  plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
  Plist owned(root);
  if (owned && plist_get_node_type(owned.get()) == PLIST_DICT) {
    result.status = PropertyListRead::Status::dictionary;
    result.dictionary = std::move(owned);
  }
  return result;
}

bool writeXmlFileAtomically(const std::string& path, plist_t node) {
  char* xml = nullptr;
  uint32_t length = 0;
  plist_to_xml(node, &xml, &length);
  if (xml == nullptr) {
    return false;
  }
  std::string bytes(xml, length);
  plist_to_xml_free(xml);

  std::string temporary = path + ".XXXXXX";
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) {
    return false;
  }
  bool ok = ::fchmod(fd, 0600) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (!ok || ::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  // Make the rename itself durable; a failure here leaves a complete file either way.
  int directory = ::open(directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (directory >= 0) {
    ::fsync(directory);
    ::close(directory);
  }
  return true;
}

}  // namespace keelguard
