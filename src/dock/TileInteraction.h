#pragma once

#include <optional>

#include "dock/MenuModel.h"
#include "dock/TileActionServices.h"
#include "foundation/Geometry.h"
#include "model/Tile.h"
#include "platform/Displays.h"

namespace quayline {

// Where a click happened: the tile's frame in screen space (origin bottom left, y up; empty when
// unknown), the display it is on, and whether the alternate modifier (Alt) was held.
struct TileClickPlace {
  Rect frame;
  std::optional<DisplayNumber> screen;
  bool alternate = false;
};

// Clicks and context menus of the dock's tiles, by kind of tile. A tile without a menu of its own
// (a divider) gets an empty one, so the dock's glass menu shows instead.
class TileInteraction {
 public:
  explicit TileInteraction(TileActionServices& services) : services_(services) {}

  // `display`: the display the tile's placement binds it to, if any.
  void click(const Tile& tile, std::optional<DisplayNumber> display,
             const TileClickPlace& place = {});
  Menu menu(const Tile& tile, std::optional<DisplayNumber> display);

 private:
  TileActionServices& services_;
};

}  // namespace quayline
