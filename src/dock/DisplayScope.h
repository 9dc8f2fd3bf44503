#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "app/PreferenceValues.h"
#include "foundation/Geometry.h"
#include "model/Tile.h"
#include "platform/Displays.h"
#include "windows/AppWindow.h"

namespace quayline {

class Displays;

// A display's bounds in the global display space (top-left origin).
struct DisplayBounds {
  DisplayNumber id = 0;
  Rect frame;
  bool operator==(const DisplayBounds&) const = default;

  // One entry per screen, in screen order.
  static std::vector<DisplayBounds> current(Displays& displays);
};

// Whether a tile's running light is on, and on which dock's display it is shown.
struct TileDisplayPlacement {
  bool isLit = false;
  std::optional<DisplayNumber> displayID;
  bool operator==(const TileDisplayPlacement&) const = default;
};

// On which display windows lie, and what a per-display dock shows.
namespace DisplayScope {

// The windows a tile stands for (the registry's, a profile's, or the unattributed browser
// windows), supplied by the caller.
using TileWindows = std::function<std::vector<AppWindow>(const Tile&)>;

std::optional<DisplayNumber> displayID(const std::optional<Rect>& windowFrame,
                                       const std::vector<DisplayBounds>& displays);

// One entry per window of the tile that lies on some display, in window order.
std::vector<DisplayNumber> windowDisplays(const Tile& tile, const TileWindows& windows,
                                          const std::vector<DisplayBounds>& displays);

std::vector<AppWindow> windows(const std::vector<AppWindow>& windows, DisplayNumber display,
                               const std::vector<DisplayBounds>& displays);

// The tiles the dock of `display` shows; running tiles without a window there are left out.
std::vector<Tile> tiles(const std::vector<Tile>& tiles, std::optional<DisplayNumber> display,
                        RunningAppsScope effectiveScope, const TileWindows& windows,
                        const std::vector<DisplayBounds>& displays);

}  // namespace DisplayScope
}  // namespace quayline
