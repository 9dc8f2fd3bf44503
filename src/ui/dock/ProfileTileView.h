#pragma once

#include <QPainter>
#include <QRectF>
#include <optional>

#include "chrome/ChromeAvatar.h"
#include "model/Tile.h"

namespace quayline {

class IconCache;

// The badge of a browser-profile tile, drawn over the browser's icon at its bottom-trailing
// corner: the profile's picture clipped to a circle, or its initial on a disc of its colour,
// inside a white ring.
class ProfileTileView {
 public:
  struct Metrics {
    double tileSize = 0;  // t, in points
    double scale = 1;     // the tile's magnification
    double backingScale = 1;
  };

  static void paintBadge(QPainter& painter, const QRectF& icon, const ChromeProfileTile& profile,
                         const std::optional<ChromeAvatar>& avatar, IconCache& icons,
                         const Metrics& metrics);
};

}  // namespace quayline
