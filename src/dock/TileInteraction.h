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

// Clicks and context menus of the dock's tiles, by kind of tile. Tiles whose behaviour is not
// there yet (browser profiles) answer a click with nothing and have no menu.
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
