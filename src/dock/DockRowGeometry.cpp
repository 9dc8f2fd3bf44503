#include "dock/DockRowGeometry.h"

#include <algorithm>
#include <cmath>

namespace quayline {

double roundHalfAway(double value) {
  return std::round(value);
}

DockRowGeometry DockRowGeometry::compute(const std::vector<Tile>& tiles, const DockLayout& layout,
                                         const std::optional<MagnifiedRow>& row,
                                         bool magnificationEnabled) {
  std::vector<double> widths;
  widths.reserve(tiles.size());
  for (const Tile& tile : tiles) {
    widths.push_back(layout.slotWidth(tile.content));
  }
  return compute(widths, layout, row, magnificationEnabled);
}

DockRowGeometry DockRowGeometry::compute(const std::vector<double>& widths,
                                         const DockLayout& layout,
                                         const std::optional<MagnifiedRow>& row,
                                         bool magnificationEnabled) {
  DockRowGeometry geometry;
  const double t = layout.t();
  for (double width : widths) {
    geometry.restWidth += width;
  }
  geometry.rowHeight = layout.rowHeight();

  const MagnifiedRow* inUse = row && row->slots.size() == widths.size() ? &*row : nullptr;
  const double rasterScale = magnificationEnabled ? 2 : 1;

  double x = 0;
  geometry.placed.reserve(widths.size());
  for (std::size_t i = 0; i < widths.size(); ++i) {
    Placed placed;
    placed.restingMinX = x;
    placed.slotWidth = widths[i];
    placed.magnification.rasterScale = rasterScale;
    if (inUse) {
      const MagnifiedRow::Slot& slot = inUse->slots[i];
      placed.magnification.scale = slot.scale;
      const double magnifiedCentre = slot.minX + slot.scale * slot.restingWidth * 0.5;
      const double restingCentre = slot.restingMinX + slot.restingWidth * 0.5;
      placed.offset = roundHalfAway(magnifiedCentre - restingCentre);
    }
    x += placed.slotWidth;
    geometry.placed.push_back(placed);
  }

  double leading = 0;
  double end = geometry.restWidth;
  if (inUse) {
    if (inUse->slots.empty()) {
      end = 0;
    } else {
      leading = roundHalfAway(inUse->slots.front().minX);
      end = inUse->maxX();
    }
  }
  const double overflow = roundHalfAway(end) - geometry.restWidth;
  geometry.extra = leading <= 0 ? std::max(overflow, -leading) : std::max(overflow, 0.0);

  geometry.glassWidth = geometry.restWidth + 2 * geometry.extra + 2 * DockLayout::rowInset;
  geometry.glassHeight = geometry.rowHeight;
  geometry.glassCornerRadius = roundHalfAway(geometry.rowHeight * 0.36);
  geometry.hoverHeadroom = magnificationEnabled ? roundHalfAway(2 * t) - t : 0;
  return geometry;
}

}  // namespace quayline
