#include "switcher/SwitcherLayout.h"

#include <algorithm>
#include <cmath>

namespace quayline {

double SwitcherLayout::measure(double base) const {
  return std::round(base * scale);
}

double SwitcherLayout::cardWidth() const {
  return measure(baseThumbnailWidth) + 2 * measure(baseCardPadding);
}

double SwitcherLayout::cardHeight() const {
  return measure(baseThumbnailHeight) + 2 * measure(baseCardPadding) + measure(baseTitleSpacing) +
         measure(baseTitleHeight);
}

Size SwitcherLayout::panelSize(int count) const {
  if (count < 1) {
    return {measure(baseEmptyWidth), measure(baseEmptyHeight)};
  }
  const int perRow = std::max(columns, 1);
  const int cols = std::min(count, perRow);
  const int rows = (count + perRow - 1) / perRow;
  return {2 * padding() + cols * cardWidth() + (cols - 1) * gap(),
          2 * padding() + rows * cardHeight() + (rows - 1) * gap()};
}

SwitcherLayout SwitcherLayout::fitting(int count, const Rect& visibleFrame) {
  const Rect area = visibleFrame.standardized();
  const double availableWidth = area.width() - 2 * screenMargin;
  const double availableHeight = area.height() - 2 * screenMargin;
  SwitcherLayout layout;
  for (int pass = 0; pass < 3; ++pass) {
    const double fit = std::trunc((availableWidth - 2 * layout.padding() + layout.gap()) /
                                  (layout.cardWidth() + layout.gap()));
    layout.columns =
        count < 2
            ? 1
            : std::max(1, std::min({count, static_cast<int>(std::max(fit, 0.0)), maximumColumns}));
    const Size size = layout.panelSize(count);
    if (size.width <= availableWidth && size.height <= availableHeight) {
      return layout;
    }
    layout.scale = std::max(
        minimumScale,
        layout.scale * std::min(availableWidth / size.width, availableHeight / size.height) * 0.98);
  }
  return layout;
}

Rect SwitcherLayout::panelFrame(int count, const Rect& visibleFrame) const {
  const Rect area = visibleFrame.standardized();
  Size size = panelSize(count);
  size.width = std::min(size.width, std::max(area.width() - 2 * screenMargin, 0.0));
  size.height = std::min(size.height, std::max(area.height() - 2 * screenMargin, 0.0));
  return {std::round(area.midX() - size.width / 2), std::round(area.midY() - size.height / 2),
          size.width, size.height};
}

}  // namespace quayline
