#include "ui/dock/DockTint.h"

#include "dock/TilePresentation.h"

namespace quayline {

QColor DockTint::current(const std::optional<TintColor>& customTint, bool isDark) {
  const TintColor tint = TilePresentation::dockTint(customTint, isDark);
  return QColor::fromRgbF(static_cast<float>(tint.red), static_cast<float>(tint.green),
                          static_cast<float>(tint.blue), static_cast<float>(tint.alpha));
}

}  // namespace quayline
