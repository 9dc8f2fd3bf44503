#include "system/Relaunch.h"

#include "foundation/Scheduler.h"
#include "platform/InstanceGuard.h"
#include "system/SystemDockVisibility.h"

namespace quayline {

Relaunch::Relaunch(Services services, std::string ownExecutable)
    : services_(std::move(services)), ownExecutable_(std::move(ownExecutable)) {}

void Relaunch::relaunchFrom(const std::string& executable) {
  if (child_) {
    return;
  }
  services_.systemDock.handOver();
  services_.instance.release();
  const auto pid = services_.processes.launch(executable, {}, Processes::StandardError::inherit);
  if (!pid) {
    fail("Quayline could not be started from " + executable + ".");
    return;
  }
  child_ = pid;
  startedAt_ = services_.scheduler.monotonic();
  timer_ = services_.scheduler.every(Scheduler::Seconds(checkInterval), [this] { check(); });
}

void Relaunch::check() {
  if (services_.instance.holder() == child_) {
    timer_ = {};
    services_.quit();
    return;
  }
  if (!services_.processes.exists(*child_)) {
    fail("The new copy of Quayline ended as it started.");
    return;
  }
  if (services_.scheduler.monotonic() - startedAt_ >= startTimeout) {
    services_.processes.terminate(*child_);
    fail("The new copy of Quayline did not start in time.");
  }
}

void Relaunch::fail(const std::string& why) {
  timer_ = {};
  child_.reset();
  // Taken back only now that no new copy can hold it any more.
  (void)services_.instance.claim();
  services_.systemDock.takeBack();
  services_.failed(why);
}

}  // namespace quayline
