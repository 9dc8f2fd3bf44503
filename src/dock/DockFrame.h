#pragma once

#include <optional>
#include <vector>

#include "dock/DockLayout.h"
#include "foundation/Geometry.h"
#include "model/Tile.h"
#include "platform/Displays.h"

namespace quayline {

// Where a dock window sits. Frames are in the bottom-left, y-up screen space.
namespace DockFrame {

// Centred on the screen's bottom edge (not its visible area), as wide as the row plus the
// insets but never wider than the screen.
Rect resting(const DockLayout& layout, const std::vector<Tile>& tiles, const Rect& screenFrame);

// The part of a screen the dock stands on: the whole screen, up from the top of whatever other
// programs' panels reserve along its bottom edge (the visible frame's bottom).
Rect standingArea(const Screen& screen);

// Moved down so that one point of the window stays on screen, at the screen's bottom edge
// (`screenBottom`): a dock standing above another panel hides past it, to where the pointer
// reveals it.
Rect autoHidden(const Rect& base, double screenBottom);

// The same rectangle in the top-left, y-down space of the window system, whose origin is the
// top-left corner of the primary screen (`primaryHeight` high).
Rect toTopLeft(const Rect& frame, double primaryHeight);

}  // namespace DockFrame

// What a dock window last showed; a new view tree is built only when it changes.
struct RenderedDock {
  std::vector<Tile> tiles;
  DockLayout layout;
  std::optional<DisplayNumber> displayID;
  bool operator==(const RenderedDock&) const = default;
};

// The frame bookkeeping of one dock window, apart from the window itself.
class DockWindowState {
 public:
  struct Applied {
    Rect frame;                           // what the window should have now
    std::optional<RenderedDock> content;  // set only when the view tree must be rebuilt
  };

  // One frame application: the resting frame from the tiles of this display, the window's
  // base frame (magnified when a magnified row is up) and the auto-hide offset.
  Applied apply(const DockLayout& layout, std::vector<Tile> tiles, const Screen& screen,
                bool magnified);

  enum class Curve { easeIn, easeOut };
  struct Motion {
    Rect target;
    double duration = 0;  // seconds; 0 when not animated
    Curve curve = Curve::easeIn;
  };
  // Nothing when the call does not change whether the window is hidden.
  std::optional<Motion> setAutoHidden(bool hidden, bool animated);

  const Rect& restingFrame() const { return restingFrame_; }
  const Rect& currentBaseFrame() const { return currentBaseFrame_; }
  bool isAutoHidden() const { return isAutoHidden_; }
  const std::optional<RenderedDock>& rendered() const { return rendered_; }
  bool suppressed = false;

 private:
  Rect restingFrame_;
  Rect currentBaseFrame_;
  double screenBottom_ = 0;
  bool isAutoHidden_ = false;
  std::optional<RenderedDock> rendered_;
};

}  // namespace quayline
