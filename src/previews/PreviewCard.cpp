#include "previews/PreviewCard.h"

#include <algorithm>
#include <cmath>

namespace quayline {

namespace {
constexpr double kEdgeMargin = 8;
constexpr double kGapAboveTile = 8;
}  // namespace

std::string PreviewCard::id() const {
  return windowID ? "w:" + std::to_string(*windowID) : window.id;
}

Rect previewFrame(const Rect& tileFrame, Size panelSize, const Rect& screenFrame,
                  const Rect& visibleFrame) {
  double x = tileFrame.midX() - panelSize.width / 2;
  x = std::min(x, screenFrame.maxX() - kEdgeMargin - panelSize.width);
  x = std::max(x, screenFrame.minX() + kEdgeMargin);
  double y = tileFrame.maxY() + kGapAboveTile;
  y = std::min(y, visibleFrame.maxY() - panelSize.height);
  return Rect(std::round(x), std::round(y), panelSize.width, panelSize.height);
}

}  // namespace quayline
