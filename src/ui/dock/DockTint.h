#pragma once

#include <QColor>
#include <optional>

#include "app/PreferenceValues.h"

namespace quayline {

// The colour laid over the dock's glass.
struct DockTint {
  static QColor light() { return QColor::fromRgbF(1, 1, 1, 0.5f); }
  static QColor dark() { return QColor::fromRgbF(1, 1, 1, 0.1f); }
  static QColor current(const std::optional<TintColor>& customTint, bool isDark);
};

}  // namespace quayline
