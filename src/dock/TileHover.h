#pragma once

#include <optional>

#include "foundation/Geometry.h"
#include "model/Tile.h"
#include "platform/Displays.h"

namespace quayline {

// What a hovered tile hands to the window previews: the tile, the frame it is drawn in (grown
// upwards by the magnification headroom) and the display it is on.
struct TileHover {
  Tile tile;
  Rect frame;
  std::optional<DisplayNumber> screen;
  bool operator==(const TileHover&) const = default;
};

// Receives the pointer entering and leaving tiles; the window previews implement it.
class TileHoverSink {
 public:
  virtual ~TileHoverSink() = default;
  virtual void tileEntered(const TileHover& hover) = 0;
  virtual void tileExited(const Tile& tile) = 0;
};

}  // namespace quayline
