#include "dock/DockLayout.h"

#include <cmath>

#include "model/SystemDockPreferences.h"
#include "platform/PreferenceDomains.h"

namespace quayline {

DockLayout DockLayout::current(PreferenceDomains& domains) {
  domains.synchronize(SystemDockPreferences::domain);
  auto stored = domains.copy(SystemDockPreferences::domain, "tilesize");
  auto number = stored ? stored->number() : std::nullopt;
  if (!number || !std::isfinite(*number)) {
    return DockLayout{};
  }
  return DockLayout{*number};
}

double DockLayout::t() const {
  return std::round(tileSize);
}

double DockLayout::slotWidth(const TileContent& content) const {
  if (const auto* spacer = std::get_if<SpacerTile>(&content); spacer && spacer->small) {
    return std::round(tileSize * 0.5);
  }
  if (std::holds_alternative<DividerTile>(content)) {
    return std::round(tileSize * 0.5);
  }
  return t() + 2;
}

double DockLayout::rowWidth(const std::vector<Tile>& tiles) const {
  double width = 0;
  for (const auto& tile : tiles) {
    width += slotWidth(tile.content);
  }
  return width;
}

Rect DockLayout::magnifiedWindowFrame(const Rect& resting) const {
  const double m = std::ceil(t() + 2 + tileSize * 2.5 * 0.5);
  return Rect(resting.minX() - m, resting.minY(), resting.width() + 2 * m,
              windowHeight() + std::round(2 * t()) - t());
}

}  // namespace quayline
