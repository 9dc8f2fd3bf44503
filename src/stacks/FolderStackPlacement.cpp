#include "stacks/FolderStackPlacement.h"

#include <algorithm>

namespace quayline {

Point FolderStackPlacement::origin(const Rect& anchor, Size size, const Rect& visibleFrame) {
  double x = anchor.midX() - size.width / 2;
  x = std::max(x, visibleFrame.minX() + screenMargin);
  x = std::min(x, visibleFrame.maxX() - size.width - screenMargin);
  const double y =
      std::min(anchor.maxY() + gapAboveTile, visibleFrame.maxY() - size.height - screenMargin);
  return {x, y};
}

}  // namespace quayline
