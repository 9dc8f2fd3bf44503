#pragma once

#include "foundation/Geometry.h"

namespace quayline {

// The switcher grid's measures: every base measure in points times one scale, rounded to whole
// points, and how many cards stand in a row.
struct SwitcherLayout {
  static constexpr double basePadding = 20;
  static constexpr double baseGap = 10;
  static constexpr double baseThumbnailWidth = 192;
  static constexpr double baseThumbnailHeight = 120;
  static constexpr double baseCardPadding = 8;
  static constexpr double baseTitleSpacing = 6;
  static constexpr double baseTitleHeight = 18;
  static constexpr double basePanelRadius = 24;
  static constexpr double baseCardRadius = 12;
  static constexpr double baseIcon = 32;
  static constexpr double basePlaceholderIcon = 64;
  static constexpr double baseEmptyWidth = 320;
  static constexpr double baseEmptyHeight = 96;
  // Room left around the panel on every side of the display's visible frame.
  static constexpr double screenMargin = 40;
  static constexpr int maximumColumns = 8;
  static constexpr double minimumScale = 0.4;

  double scale = 1;
  int columns = 1;

  bool operator==(const SwitcherLayout&) const = default;

  // A base measure at this scale, halves rounded away from zero.
  double measure(double base) const;
  double padding() const { return measure(basePadding); }
  double gap() const { return measure(baseGap); }
  Size thumbnailSize() const { return {measure(baseThumbnailWidth), measure(baseThumbnailHeight)}; }
  double cardWidth() const;
  double cardHeight() const;

  // The panel for `count` cards; the empty panel's own size for none.
  Size panelSize(int count) const;
  // The largest layout, at most eight cards a row, that fits the visible frame less the margin,
  // shrinking in at most three passes and never below the minimum scale.
  static SwitcherLayout fitting(int count, const Rect& visibleFrame);
  // Where the panel for `count` cards stands: centred on the visible frame, and never taller or
  // wider than the room inside the margin (the grid then scrolls).
  Rect panelFrame(int count, const Rect& visibleFrame) const;
};

}  // namespace quayline
