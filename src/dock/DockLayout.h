#pragma once

#include <vector>

#include "foundation/Geometry.h"
#include "model/Tile.h"

namespace quayline {

class PreferenceDomains;

// The geometry of a dock row, from the system dock's tile size.
struct DockLayout {
  static constexpr double defaultTileSize = 64;
  static constexpr double gapBelowRow = 5;
  static constexpr double rowMargin = 7;
  static constexpr double rowInset = 2;

  double tileSize = defaultTileSize;

  // "tilesize" of the system dock's domain, read fresh; 64 when absent or not a number.
  static DockLayout current(PreferenceDomains& domains);

  // The tile size rounded half away from zero; what every measure uses.
  double t() const;
  double slotWidth(const TileContent& content) const;
  double rowWidth(const std::vector<Tile>& tiles) const;
  double rowHeight() const { return t() + 2 * rowMargin; }
  double windowHeight() const { return rowHeight() + gapBelowRow; }
  // The frame while magnification is on: wider by the growth of the outermost tiles and taller
  // by the extra height of a tile drawn at twice its size.
  Rect magnifiedWindowFrame(const Rect& resting) const;

  bool operator==(const DockLayout&) const = default;
};

}  // namespace quayline
