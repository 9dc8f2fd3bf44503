#pragma once

#include <optional>

#include "dock/MenuModel.h"
#include "dock/TileActionServices.h"
#include "model/Tile.h"
#include "platform/Displays.h"

namespace quayline {

// Clicks and context menus of the dock's tiles, by kind of tile. Tiles whose behaviour is not
// there yet (folders, browser profiles) answer a click with nothing and have no menu.
class TileInteraction {
 public:
  explicit TileInteraction(TileActionServices& services) : services_(services) {}

  // `display`: the display the tile's placement binds it to, if any.
  void click(const Tile& tile, std::optional<DisplayNumber> display);
  Menu menu(const Tile& tile, std::optional<DisplayNumber> display);

 private:
  TileActionServices& services_;
};

}  // namespace quayline
