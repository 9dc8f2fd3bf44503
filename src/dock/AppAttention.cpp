#include "dock/AppAttention.h"

#include <utility>
#include <vector>

#include "dock/DisplayTarget.h"

namespace quayline {

namespace {

std::optional<std::string> bundleOf(const WorkspaceNotification& notification) {
  if (!notification.application) {
    return std::nullopt;
  }
  return notification.application->bundleIdentifier;
}

long wholeMilliseconds(double seconds) {
  return static_cast<long>(seconds * 1000);
}

}  // namespace

AppAttention::AppAttention(Workspace& workspace, Displays& displays, Scheduler& scheduler,
                           SystemLog& log)
    : workspace_(workspace), displays_(displays), scheduler_(scheduler), log_(log) {
  notifications_ = workspace_.observe(
      [this](const WorkspaceNotification& notification) { handle(notification); });
}

void AppAttention::handle(const WorkspaceNotification& notification) {
  using Kind = WorkspaceNotification::Kind;
  if (notification.kind != Kind::willLaunchApplication &&
      notification.kind != Kind::didLaunchApplication &&
      notification.kind != Kind::didTerminateApplication) {
    return;
  }
  const auto bundle = bundleOf(notification);
  if (!bundle) {
    return;
  }
  if (notification.kind == Kind::willLaunchApplication) {
    begin(*bundle);
  } else {
    end(*bundle);
  }
}

void AppAttention::begin(const std::string& bundleIdentifier) {
  startedAt_[bundleIdentifier] = scheduler_.monotonic();
  if (auto display = pointerDisplay()) {
    launchDisplay_[bundleIdentifier] = *display;
  } else {
    launchDisplay_.erase(bundleIdentifier);
  }
  setLaunching(bundleIdentifier, true);
  log_.log(logCategory, "launch begin " + bundleIdentifier);
  if (!sweepTimer_.active()) {
    sweepTimer_ = scheduler_.every(Scheduler::Seconds(sweepInterval), [this] { sweep(); });
  }
}

void AppAttention::end(const std::string& bundleIdentifier) {
  const auto start = startedAt_.find(bundleIdentifier);
  if (start == startedAt_.end()) {
    setLaunching(bundleIdentifier, false);
    return;
  }
  const double elapsed = scheduler_.monotonic() - start->second;
  if (elapsed >= minimumBounce) {
    finish(bundleIdentifier, "launch end " + bundleIdentifier + " after " +
                                 std::to_string(wholeMilliseconds(elapsed)) + " ms");
    return;
  }
  // Too quick to be seen: keep bouncing until the minimum has run, then end as if it just had.
  deferredEnds_[bundleIdentifier] =
      scheduler_.after(Scheduler::Seconds(minimumBounce - elapsed), [this, bundleIdentifier] {
        finish(bundleIdentifier, "launch end " + bundleIdentifier + " after " +
                                     std::to_string(wholeMilliseconds(minimumBounce)) + " ms");
      });
}

void AppAttention::finish(const std::string& bundleIdentifier, std::string_view line) {
  startedAt_.erase(bundleIdentifier);
  launchDisplay_.erase(bundleIdentifier);
  deferredEnds_.erase(bundleIdentifier);
  setLaunching(bundleIdentifier, false);
  log_.log(logCategory, line);
  if (startedAt_.empty()) {
    sweepTimer_.reset();
  }
}

void AppAttention::sweep() {
  const auto running = workspace_.runningApplications();
  const double now = scheduler_.monotonic();
  std::vector<std::pair<std::string, std::string>> ended;
  for (const auto& [bundle, start] : startedAt_) {
    bool finished = false;
    for (const auto& app : running) {
      if (app.bundleIdentifier == bundle && app.isFinishedLaunching) {
        finished = true;
        break;
      }
    }
    const double elapsed = now - start;
    if ((elapsed >= minimumBounce && finished) || elapsed > launchTimeout) {
      ended.emplace_back(bundle, "launch end " + bundle + " after " +
                                     std::to_string(wholeMilliseconds(elapsed)) + " ms (expired" +
                                     (finished ? "" : ", timed out") + ")");
    }
  }
  // Ended after the walk: finishing erases from the map being walked.
  for (const auto& [bundle, line] : ended) {
    finish(bundle, line);
  }
}

std::optional<DisplayNumber> AppAttention::pointerDisplay() const {
  if (auto display =
          DisplayTarget::displayUnderPointer(displays_.screens(), displays_.pointerLocation())) {
    return display;
  }
  if (auto main = displays_.mainScreen()) {
    return main->displayNumber;
  }
  return std::nullopt;
}

void AppAttention::setLaunching(const std::string& bundleIdentifier, bool launching) {
  auto next = launching_.get();
  if (launching) {
    next.insert(bundleIdentifier);
  } else {
    next.erase(bundleIdentifier);
  }
  launching_.set(std::move(next));
}

bool AppAttention::isLaunching(std::string_view bundleIdentifier,
                               std::optional<DisplayNumber> display) const {
  if (launching_.get().count(std::string(bundleIdentifier)) == 0) {
    return false;
  }
  if (!display) {
    return true;
  }
  if (auto launched = launchDisplay(bundleIdentifier)) {
    return *launched == *display;
  }
  const auto main = displays_.mainScreen();
  return main && main->displayNumber == *display;
}

std::optional<DisplayNumber> AppAttention::launchDisplay(std::string_view bundleIdentifier) const {
  const auto found = launchDisplay_.find(bundleIdentifier);
  if (found == launchDisplay_.end()) {
    return std::nullopt;
  }
  return found->second;
}

std::string attentionIdentifier(std::string_view bundleIdentifier) {
  return "attention:" + std::string(bundleIdentifier);
}

}  // namespace quayline
