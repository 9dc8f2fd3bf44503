#include "platform/linux/InotifyFolderWatch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

namespace quayline {
namespace {

constexpr std::uint32_t kEvents =
    IN_CREATE | IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE | IN_ATTRIB | IN_ONLYDIR;

}  // namespace

InotifyFolderWatch::InotifyFolderWatch() : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
  if (fd_ >= 0) {
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { readEvents(); });
  }
}

InotifyFolderWatch::~InotifyFolderWatch() {
  notifier_.reset();
  if (fd_ >= 0) {
    ::close(fd_);
  }
}

Subscription InotifyFolderWatch::watch(const std::string& folder,
                                       std::function<void(const std::string&)> changed) {
  return add(folder, std::move(changed), false);
}

Subscription InotifyFolderWatch::watchWrites(const std::string& folder,
                                             std::function<void(const std::string&)> changed) {
  return add(folder, std::move(changed), true);
}

Subscription InotifyFolderWatch::add(const std::string& folder,
                                     std::function<void(const std::string&)> changed, bool writes) {
  if (fd_ < 0) {
    return {};
  }
  // One descriptor serves every watch of a folder: its events only ever grow, and modifications
  // reach only the watches that asked for them.
  const int wd =
      ::inotify_add_watch(fd_, folder.c_str(), kEvents | IN_MASK_ADD | (writes ? IN_MODIFY : 0u));
  if (wd < 0) {
    return {};
  }
  const unsigned registration = nextRegistration_++;
  observers_[wd][registration] = Observer{std::move(changed), writes};
  return Subscription([this, wd, registration] {
    auto found = observers_.find(wd);
    if (found == observers_.end()) {
      return;
    }
    found->second.erase(registration);
    if (found->second.empty()) {
      observers_.erase(found);
      ::inotify_rm_watch(fd_, wd);
    }
  });
}

void InotifyFolderWatch::readEvents() {
  alignas(inotify_event) std::array<char, 16384> buffer{};
  struct Event {
    int wd;
    std::string entry;
    bool modified;
  };
  std::vector<Event> events;
  for (;;) {
    const ssize_t length = ::read(fd_, buffer.data(), buffer.size());
    if (length <= 0) {
      if (length < 0 && errno == EINTR) {
        continue;
      }
      break;
    }
    for (ssize_t offset = 0; offset < length;) {
      inotify_event event;
      std::memcpy(&event, buffer.data() + offset, sizeof event);
      const char* name = buffer.data() + offset + sizeof event;
      const std::string entry = event.len > 0 ? std::string(name, ::strnlen(name, event.len)) : "";
      if (event.mask & IN_IGNORED) {
        // The folder went away: its descriptor may be handed out again for another folder.
        observers_.erase(event.wd);
      } else {
        events.push_back({event.wd, entry, (event.mask & IN_MODIFY) != 0});
      }
      offset += static_cast<ssize_t>(sizeof event + event.len);
    }
  }
  for (const auto& [wd, entry, modified] : events) {
    auto found = observers_.find(wd);
    if (found == observers_.end()) {
      continue;
    }
    // A callback may end its own or another registration: call a copy.
    const auto callbacks = found->second;
    for (const auto& [registration, observer] : callbacks) {
      if (!modified || observer.writes) {
        observer.changed(entry);
      }
    }
  }
}

}  // namespace quayline
