#pragma once

#include <xcb/xcb.h>

#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "platform/Processes.h"

namespace quayline::x11 {

// Which running application each client window belongs to, as the workspace grouped them, and
// what each application is called. One process can run several applications (an editor and its
// settings, a browser and its web applications): all but the first then go by a pseudo process
// id (see WindowQuery.h). The accessibility adapter reads the same grouping from here, so an
// application's element lists exactly its windows. Safe to use from any thread.
class WindowApplications {
 public:
  // Replaces the whole grouping.
  void publish(std::map<xcb_window_t, ProcessId> applicationOf,
               std::map<ProcessId, std::string> names);

  // Drops a destroyed window at once: its id may soon name another client's window.
  void forget(xcb_window_t window);

  std::optional<ProcessId> applicationOf(xcb_window_t window) const;
  std::optional<std::string> nameOf(ProcessId application) const;

 private:
  mutable std::mutex mutex_;
  std::map<xcb_window_t, ProcessId> applicationOf_;
  std::map<ProcessId, std::string> names_;
};

}  // namespace quayline::x11
