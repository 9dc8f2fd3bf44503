#include "dock/DockFrame.h"

#include <algorithm>
#include <cmath>

namespace quayline {

namespace {
constexpr double kHideDuration = 0.18;
constexpr double kShowDuration = 0.12;
}  // namespace

Rect DockFrame::resting(const DockLayout& layout, const std::vector<Tile>& tiles,
                        const Rect& screenFrame) {
  const double width =
      std::min(layout.rowWidth(tiles) + 2 * DockLayout::rowInset, screenFrame.width());
  const double x = std::round(screenFrame.midX() - width * 0.5);
  return Rect(x, screenFrame.minY(), width, layout.windowHeight());
}

Rect DockFrame::standingArea(const Screen& screen) {
  const Rect& frame = screen.frame;
  const double bottom = screen.visibleFrame.isEmpty() ? frame.minY() : screen.visibleFrame.minY();
  if (bottom <= frame.minY() || bottom >= frame.maxY()) {
    return frame;
  }
  return Rect(frame.minX(), bottom, frame.width(), frame.maxY() - bottom);
}

Rect DockFrame::autoHidden(const Rect& base, double screenBottom) {
  return base.offsetBy(0, screenBottom - base.minY() - (base.height() - 1));
}

Rect DockFrame::toTopLeft(const Rect& frame, double primaryHeight) {
  return Rect(frame.minX(), primaryHeight - frame.maxY(), frame.width(), frame.height());
}

DockWindowState::Applied DockWindowState::apply(const DockLayout& layout, std::vector<Tile> tiles,
                                                const Screen& screen, bool magnified) {
  restingFrame_ = DockFrame::resting(layout, tiles, DockFrame::standingArea(screen));
  const Rect base = magnified ? layout.magnifiedWindowFrame(restingFrame_) : restingFrame_;

  Applied applied;
  RenderedDock now{std::move(tiles), layout, screen.displayNumber};
  if (rendered_ != now) {
    rendered_ = now;
    applied.content = std::move(now);
  }
  currentBaseFrame_ = base;
  screenBottom_ = screen.frame.minY();
  applied.frame = isAutoHidden_ ? DockFrame::autoHidden(base, screenBottom_) : base;
  return applied;
}

std::optional<DockWindowState::Motion> DockWindowState::setAutoHidden(bool hidden, bool animated) {
  if (hidden == isAutoHidden_) {
    return std::nullopt;
  }
  isAutoHidden_ = hidden;
  Motion motion;
  motion.target =
      hidden ? DockFrame::autoHidden(currentBaseFrame_, screenBottom_) : currentBaseFrame_;
  motion.curve = hidden ? Curve::easeIn : Curve::easeOut;
  motion.duration = animated ? (hidden ? kHideDuration : kShowDuration) : 0;
  return motion;
}

}  // namespace quayline
