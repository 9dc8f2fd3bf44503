#pragma once

#include <functional>
#include <optional>
#include <string>

#include "foundation/Subscription.h"
#include "platform/Processes.h"

namespace quayline {

class InstanceGuard;
class Scheduler;
class SystemDockVisibility;

// Starts a new copy of Quayline in place of this one. Only one copy may own the system dock's
// settings at a time, so this one restores them (stopping Keelguard first) and gives up its
// claim on the display before the new copy starts, and ends without restoring again once the
// new copy has claimed the display. Should the new copy not start, this one takes everything
// back and stays.
class Relaunch {
 public:
  // How long the new copy may take to claim the display, and how often that is checked.
  static constexpr double startTimeout = 10.0;
  static constexpr double checkInterval = 0.1;

  struct Services {
    Processes& processes;
    InstanceGuard& instance;
    SystemDockVisibility& systemDock;
    Scheduler& scheduler;
    // Ends this process in order; the system dock is no longer restored by then.
    std::function<void()> quit;
    // The new copy did not start; the message is for the user.
    std::function<void(const std::string& message)> failed;
  };

  Relaunch(Services services, std::string ownExecutable);

  void relaunch() { relaunchFrom(ownExecutable_); }
  void relaunchFrom(const std::string& executable);
  bool inProgress() const { return child_.has_value(); }

 private:
  void check();
  void fail(const std::string& why);

  Services services_;
  std::string ownExecutable_;
  std::optional<ProcessId> child_;
  double startedAt_ = 0;
  Subscription timer_;
};

}  // namespace quayline
