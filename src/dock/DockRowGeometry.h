#pragma once

#include <optional>
#include <vector>

#include "dock/DockLayout.h"
#include "dock/Magnification.h"
#include "model/Tile.h"

namespace quayline {

// Where each tile of a row is drawn and how large the glass under them is, at rest or with a
// magnified row. Horizontal measures are relative to the row's own left edge at rest.
struct DockRowGeometry {
  struct Placed {
    double restingMinX = 0;  // the slot's left edge at rest
    double slotWidth = 0;
    TileMagnification magnification;
    double offset = 0;  // how far the tile's centre moved from its resting centre
    bool operator==(const Placed&) const = default;
  };

  std::vector<Placed> placed;
  double restWidth = 0;
  double extra = 0;  // how far the glass grows on each side to cover magnified tiles
  double rowHeight = 0;
  double glassWidth = 0;
  double glassHeight = 0;
  double glassCornerRadius = 0;
  // How far above its frame an app tile's hover area reaches, for a tile drawn at twice its size.
  double hoverHeadroom = 0;

  // A row whose slot count differs from the tiles' is ignored: the tiles are drawn at rest.
  static DockRowGeometry compute(const std::vector<Tile>& tiles, const DockLayout& layout,
                                 const std::optional<MagnifiedRow>& row, bool magnificationEnabled);
  static DockRowGeometry compute(const std::vector<double>& slotWidths, const DockLayout& layout,
                                 const std::optional<MagnifiedRow>& row, bool magnificationEnabled);
};

// Rounds half away from zero, as every dock measure does.
double roundHalfAway(double value);

}  // namespace quayline
