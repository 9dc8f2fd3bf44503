#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "foundation/Geometry.h"
#include "foundation/Subscription.h"

namespace quayline {

// Pixels of the desktop background, row by row, 0xAARRGGBB.
struct DesktopImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  bool empty() const { return pixels.empty(); }
};

// What the window system does for the dock's own windows beyond what the toolkit offers.
// Windows are named by the toolkit's native window id.
class PanelWindowing {
 public:
  using WindowId = std::uint64_t;
  virtual ~PanelWindowing() = default;

  // A dock panel: on every desktop, above normal windows, out of the taskbar and the pager,
  // never focused. Call once the native window exists and before it is first shown.
  virtual void prepareDockPanel(WindowId window) = 0;
  // Repeats what the window manager may have dropped when the panel was mapped.
  virtual void panelShown(WindowId window) = 0;
  // Any other window of ours: out of the taskbar and the pager.
  virtual void keepOutOfTaskbar(WindowId window) = 0;
  // A floating popup of ours (previews, stacks) that the window system neither manages nor
  // focuses: typed as a popup menu, so compositors draw it as one. Call before it is shown.
  virtual void preparePopup(WindowId window) = 0;

  // Whether a compositing manager runs (translucent windows blend with what is behind them).
  virtual bool isComposited() = 0;
  // Called on the main thread when a compositing manager comes or goes.
  virtual Subscription observeCompositing(std::function<void(bool)> observer) = 0;

  // The desktop background under `area` (the window system's top-left space) in the screen's
  // own pixels, which a scaled screen has more of than points; empty when no background image is
  // set.
  virtual DesktopImage desktopBackground(const Rect& area) = 0;
  // Called on the main thread when the background image changes.
  virtual Subscription observeDesktopBackground(std::function<void()> observer) = 0;
};

}  // namespace quayline
