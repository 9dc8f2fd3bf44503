#include "previews/PreviewLayout.h"

#include <algorithm>
#include <cmath>

namespace quayline {

PreviewLayout PreviewLayout::fitting(int count, double visibleWidth) {
  if (count < 2) {
    return PreviewLayout{1};
  }
  // 40 points of margin and 20 of padding; each card takes its width and one spacing, one
  // spacing too many.
  const double room = std::trunc((visibleWidth - 52) / (cardSize.width + spacing));
  const int available = std::isfinite(room) ? static_cast<int>(std::clamp(room, -1.0, 64.0)) : 1;
  return PreviewLayout{std::max(1, std::min({count, available, maximumColumns}))};
}

Size PreviewLayout::panelSize(int count) const {
  const int perRow = std::max(1, columns);
  const int shownColumns = std::max(1, std::min(count, perRow));
  const int rows = count < 1 ? 1 : std::max(1, (count + perRow - 1) / perRow);
  return Size{shownColumns * cardSize.width + 2 * padding + (shownColumns - 1) * spacing,
              rows * cardSize.height + 2 * padding + (rows - 1) * spacing};
}

}  // namespace quayline
