#pragma once

#include "foundation/Geometry.h"

namespace quayline {

// The grid of window cards in a preview: how many columns a screen allows and the panel's size.
struct PreviewLayout {
  static constexpr Size cardSize{216, 177};
  static constexpr double spacing = 8;
  static constexpr double padding = 10;
  static constexpr int maximumColumns = 6;
  static constexpr int maximumRows = 3;

  int columns = 1;
  bool operator==(const PreviewLayout&) const = default;

  // For `count` cards on a screen whose visible frame is `visibleWidth` points wide.
  static PreviewLayout fitting(int count, double visibleWidth);
  // The panel holding `count` cards: the grid and its padding.
  Size panelSize(int count) const;
  // The most cards this layout shows.
  int capacity() const { return columns * maximumRows; }
};

}  // namespace quayline
