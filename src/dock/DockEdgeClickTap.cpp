#include "dock/DockEdgeClickTap.h"

#include <cmath>
#include <string>

#include "dock/DockEdgeAction.h"
#include "foundation/Scheduler.h"
#include "platform/Displays.h"
#include "platform/SystemLog.h"

namespace quayline {

namespace {

// Attempts after which the retries slow down.
constexpr int kQuickRetries = 10;

}  // namespace

DockEdgeClickTap::DockEdgeClickTap(MouseTap& mouse, Displays& displays, Scheduler& scheduler,
                                   SystemLog& log)
    : mouse_(mouse), displays_(displays), scheduler_(scheduler), log_(log) {}

DockEdgeClickTap::~DockEdgeClickTap() {
  tap_.reset();
}

void DockEdgeClickTap::createTapIfNeeded() {
  if (!installed || tap_) {
    return;
  }
  tap_ = mouse_.create([this](const MouseTap::Event& event) { return shouldSwallow(event); });
  if (tap_) {
    retry_.reset();
    log_.log("edge", "edge tap created");
    return;
  }
  log_.log("edge", "edge tap create failed (" + std::string(mouse_.refusalReason()) + ", retry " +
                       std::to_string(installRetries) + ")");
  ++installRetries;
  const double delay = installRetries < kQuickRetries ? 1.0 : 5.0;
  retry_ = scheduler_.after(Scheduler::Seconds(delay), [this, alive = std::weak_ptr<char>(alive_)] {
    if (alive.lock()) {
      createTapIfNeeded();
    }
  });
}

void DockEdgeClickTap::rearm() {
  if (!installed) {
    return;
  }
  if (tap_) {
    if (!tap_->isEnabled()) {
      tap_->enable();
    }
    return;
  }
  installRetries = 0;
  createTapIfNeeded();
}

void DockEdgeClickTap::publish() {
  auto next = std::make_shared<Snapshot>();
  next->docks = geometry();
  next->leading = leadingAction();
  next->trailing = trailingAction();
  const auto screens = displays_.screens();
  next->primaryMaxY = screens.empty() ? 0 : screens.front().frame.maxY();
  snapshot_.store(std::move(next));
}

std::optional<DockEdgeAction> DockEdgeClickTap::bandAction(const Snapshot& snapshot, Point point) {
  for (const DockGeometry& dock : snapshot.docks) {
    if (dock.chromeSize.width <= 0 || dock.chromeSize.height <= 0) {
      continue;
    }
    const Rect band(dock.frame.minX(), dock.frame.minY(), dock.frame.width(),
                    dock.chromeSize.height);
    const Rect chrome(dock.frame.midX() - dock.chromeSize.width * 0.5, dock.frame.minY(),
                      dock.chromeSize.width, dock.chromeSize.height);
    if (contains(band, point) && !contains(chrome, point)) {
      return point.x < chrome.midX() ? snapshot.leading : snapshot.trailing;
    }
  }
  return std::nullopt;
}

bool DockEdgeClickTap::isOnlyDesktop(const Snapshot& snapshot,
                                     const std::optional<MouseTap::Window>& under) {
  if (!under || under->isDesktop) {
    return true;
  }
  for (const DockGeometry& dock : snapshot.docks) {
    if (dock.panelWindow != 0 && dock.panelWindow == under->number) {
      return true;
    }
  }
  return false;
}

bool DockEdgeClickTap::shouldSwallow(const MouseTap::Event& event) {
  if (event.type == MouseTap::EventType::leftMouseUp) {
    const bool swallow = swallowNextUp_;
    swallowNextUp_ = false;
    return swallow;
  }
  const bool swallow = decideDown(event);
  if (!swallow) {
    scheduler_.post([this, alive = std::weak_ptr<char>(alive_), location = event.location] {
      if (alive.lock()) {
        pressed(location);
      }
    });
  }
  return swallow;
}

bool DockEdgeClickTap::decideDown(const MouseTap::Event& event) {
  const auto snapshot = snapshot_.load();
  const Point point{event.location.x, snapshot->primaryMaxY - event.location.y};
  const auto action = bandAction(*snapshot, point);
  if (!action || *action == DockEdgeAction::none) {
    return false;
  }
  if (!isOnlyDesktop(*snapshot, event.windowUnder ? event.windowUnder() : std::nullopt)) {
    return false;
  }
  swallowNextUp_ = true;
  // A clock that never goes back: a stepped wall clock must not hold every edge click back.
  const double now = scheduler_.monotonic();
  if (lastActionAt_ && now - *lastActionAt_ < debounceSeconds) {
    return true;
  }
  lastActionAt_ = now;
  const auto x = static_cast<long>(std::lround(event.location.x));
  scheduler_.post([this, alive = std::weak_ptr<char>(alive_), action = *action, x] {
    if (!alive.lock()) {
      return;
    }
    log_.log("edge", "edge click x=" + std::to_string(x) + " -> " + std::string(title(action)));
    perform(action);
  });
  return true;
}

}  // namespace quayline
