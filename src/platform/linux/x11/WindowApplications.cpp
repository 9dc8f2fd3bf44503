#include "platform/linux/x11/WindowApplications.h"

namespace quayline::x11 {

void WindowApplications::publish(std::map<xcb_window_t, ProcessId> applicationOf,
                                 std::map<ProcessId, std::string> names) {
  std::lock_guard lock(mutex_);
  applicationOf_ = std::move(applicationOf);
  names_ = std::move(names);
}

void WindowApplications::forget(xcb_window_t window) {
  std::lock_guard lock(mutex_);
  applicationOf_.erase(window);
}

std::optional<ProcessId> WindowApplications::applicationOf(xcb_window_t window) const {
  std::lock_guard lock(mutex_);
  if (auto found = applicationOf_.find(window); found != applicationOf_.end()) {
    return found->second;
  }
  return std::nullopt;
}

std::optional<std::string> WindowApplications::nameOf(ProcessId application) const {
  std::lock_guard lock(mutex_);
  if (auto found = names_.find(application); found != names_.end()) {
    return found->second;
  }
  return std::nullopt;
}

}  // namespace quayline::x11
