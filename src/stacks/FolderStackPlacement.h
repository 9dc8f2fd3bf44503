#pragma once

#include "foundation/Geometry.h"

namespace quayline::FolderStackPlacement {

inline constexpr double gapAboveTile = 10;
inline constexpr double screenMargin = 8;

// Where a stack of `size` goes for a tile at `anchor`: centred 10 points above the tile, kept 8
// points inside `visibleFrame` on the left and right (the right edge wins when the stack is
// wider than the frame) and below its top. Screen space: origin bottom left, y up.
Point origin(const Rect& anchor, Size size, const Rect& visibleFrame);

}  // namespace quayline::FolderStackPlacement
