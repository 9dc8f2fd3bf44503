#include "dock/DockMagnification.h"

#include <algorithm>
#include <cmath>

#include "dock/MenuTracking.h"

namespace quayline {

DockMagnification::DockMagnification(Displays& displays, Scheduler& scheduler, MenuTracking& menus,
                                     DisplayLinkFactory makeLink)
    : displays_(displays), scheduler_(scheduler), makeLink_(std::move(makeLink)) {
  // An open menu freezes the effect where it is; closing it lets the effect carry on.
  menus_ = menus.observe([this](bool tracking) {
    menuIsTracking_ = tracking;
    if (tracking) {
      pauseLink();
    } else {
      resume();
    }
  });
}

void DockMagnification::setEnabled(bool enabled) {
  isEnabled_.set(enabled);
  if (!enabled) {
    progress_ = 0;
    row_.set(std::nullopt);
    pauseLink();
  }
}

void DockMagnification::resume() {
  if (!link_) {
    link_ = makeLink_([this] { step(); });
  }
  // A fresh time base only for a link that was stopped: the pointer reports moves many times per
  // refresh, and restarting the clock at each would leave the effect with no time to grow.
  if (link_->isPaused()) {
    lastStepTime_.reset();
    link_->setPaused(false);
  }
}

void DockMagnification::pauseLink() {
  if (link_) {
    link_->setPaused(true);
  }
  lastStepTime_.reset();
}

void DockMagnification::step() {
  if (menuIsTracking_) {
    return;
  }
  const double now = scheduler_.monotonic();
  const double dt = std::min(now - lastStepTime_.value_or(now), maximumStep);
  lastStepTime_ = now;

  const Point pointer = displays_.pointerLocation();
  const bool pointerMoved = lastPointer_ != pointer;
  lastPointer_ = pointer;

  double target = 0;
  bool inZone = false;
  if (isEnabled() && !isSuspended_ && zoneContains(pointer)) {
    const double x = pointer.x - restingFrame_.minX();
    pointerRowX_ = row() ? row()->restingX(x) : x;
    target = 1;
    inZone = true;
  }

  if (progress_ < target) {
    progress_ = std::min(1.0, progress_ + dt / growDuration);
  } else if (progress_ > target) {
    progress_ = std::max(0.0, progress_ - dt / shrinkDuration);
  }

  publish();

  // A pointer resting inside the dock is woken again by the next move the content view reports;
  // until the view has reported one, keep following the pointer here.
  if (progress_ == target && !(inZone && (pointerMoved || !receivesMouseMoved_))) {
    pauseLink();
  }
}

void DockMagnification::publish() {
  const double p = progress_;
  const double eased = p * p * (3 - 2 * p);
  std::optional<MagnifiedRow> next;
  if (eased > 0) {
    next = MagnifiedRow::layout(widths_, MagnificationWave{layout_.tileSize, pointerRowX_, eased});
  }
  const bool hadRow = row().has_value();
  if (row_.set(std::move(next)) && hadRow != row().has_value() && envelopeChanged) {
    envelopeChanged();
  }
}

bool DockMagnification::zoneContains(Point point) const {
  const double t = layout_.t();
  const double x = point.x - restingFrame_.minX();
  const bool spread = row() && !row()->slots.empty();
  const double left = spread ? row()->slots.front().minX : 0;
  const double right = spread ? row()->maxX() : restingFrame_.width();
  const double height = row() ? (t + 19) + std::round(2 * t) - t : t + 19;
  const double bottom = restingFrame_.minY();
  return x >= left && x <= right && point.y >= bottom && point.y <= bottom + height;
}

void DockMagnification::pointerEntered() {
  if (isEnabled()) {
    resume();
  }
}

void DockMagnification::pointerMoved() {
  if (isEnabled()) {
    receivesMouseMoved_ = true;
    resume();
  }
}

void DockMagnification::pointerExited() {
  // Resuming lets the effect ease out now that the pointer has left.
  if (isEnabled()) {
    resume();
  }
}

void DockMagnification::retire() {
  link_.reset();
  lastStepTime_.reset();
  progress_ = 0;
  row_.set(std::nullopt);
}

}  // namespace quayline
