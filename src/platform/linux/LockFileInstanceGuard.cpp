#include "platform/linux/LockFileInstanceGuard.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "foundation/FileReading.h"
#include "platform/SystemLog.h"

namespace quayline {

namespace {

bool keptCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
         c == '-' || c == '_';
}

std::string kept(std::string_view text) {
  std::string result;
  for (const char c : text) {
    result.push_back(keptCharacter(c) ? c : '_');
  }
  return result;
}

// A folder only this user can enter, or nothing: a folder someone else made (or a link put there
// in its place) would let them read or steal the lock.
bool isPrivateFolder(const std::filesystem::path& folder) {
  struct stat info {};
  return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
         info.st_uid == ::getuid() && (info.st_mode & 0077) == 0;
}

}  // namespace

std::filesystem::path LockFileInstanceGuard::defaultRuntimeDirectory() {
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && runtime[0] == '/') {
    return runtime;
  }
  const std::filesystem::path folder = "/tmp/quayline-" + std::to_string(::getuid());
  ::mkdir(folder.c_str(), 0700);
  return folder;
}

std::string LockFileInstanceGuard::displayKey(std::string_view display) {
  if (const auto slash = display.rfind('/'); slash != std::string_view::npos) {
    display.remove_prefix(slash + 1);  // "unix/:0" names the transport, not another display
  }
  const auto colon = display.rfind(':');
  if (colon == std::string_view::npos) {
    return kept(display);
  }
  std::string_view host = display.substr(0, colon);
  std::string_view number = display.substr(colon + 1);
  if (const auto dot = number.find('.'); dot != std::string_view::npos) {
    number = number.substr(0, dot);  // the screen: one server, one dock
  }
  if (host == "unix") {
    host = {};
  }
  return host.empty() ? kept(number) : kept(host) + "_" + kept(number);
}

LockFileInstanceGuard::LockFileInstanceGuard(std::filesystem::path runtimeDirectory,
                                             std::string_view display, SystemLog& log)
    : path_(std::move(runtimeDirectory) / ("quayline-display-" + displayKey(display) + ".lock")),
      log_(log) {}

LockFileInstanceGuard::~LockFileInstanceGuard() {
  // Closing drops the lock. The file stays: removing it would let a start that opened it just
  // before lock a file nobody else can find any more, and two docks would run.
  if (descriptor_ >= 0) {
    ::close(descriptor_);
  }
}

InstanceGuard::Claim LockFileInstanceGuard::claim() {
  if (acquired_) {
    return Claim::acquired;
  }
  const auto unchecked = [this](const std::string& why) {
    log_.log("instance", "cannot check for another Quayline (" + why + "); starting anyway");
    acquired_ = true;
    return Claim::acquired;
  };
  if (!isPrivateFolder(path_.parent_path())) {
    return unchecked(path_.parent_path().string() + " is not a private folder of this user");
  }
  if (descriptor_ < 0) {
    // Close-on-exec: an application the dock launches must not inherit the lock and keep it
    // after the dock has ended.
    descriptor_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (descriptor_ < 0) {
      return unchecked(path_.string() + ": " + std::strerror(errno));
    }
  }
  if (::flock(descriptor_, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK) {
      return Claim::heldElsewhere;
    }
    return unchecked(path_.string() + ": " + std::strerror(errno));
  }
  acquired_ = true;
  const std::string pid = std::to_string(::getpid()) + "\n";
  if (::ftruncate(descriptor_, 0) != 0 || ::pwrite(descriptor_, pid.data(), pid.size(), 0) < 0) {
    log_.log("instance", "cannot record the process id in " + path_.string());
  }
  return Claim::acquired;
}

std::optional<ProcessId> LockFileInstanceGuard::holder() {
  if (acquired_) {
    return static_cast<ProcessId>(::getpid());
  }
  const auto text = readFile(path_, 64);
  if (!text) {
    return std::nullopt;
  }
  try {
    const int pid = std::stoi(*text);
    return pid > 0 ? std::optional<ProcessId>(pid) : std::nullopt;
  } catch (...) {
    return std::nullopt;  // written half-way, or not by us
  }
}

void LockFileInstanceGuard::release() {
  if (acquired_ && descriptor_ >= 0) {
    ::flock(descriptor_, LOCK_UN);
  }
  acquired_ = false;
}

}  // namespace quayline
