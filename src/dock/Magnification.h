#pragma once

#include <ostream>
#include <vector>

namespace quayline {

// How one tile is drawn while the row is magnified: its scale and the factor its icon is
// rasterised at (2 while magnification is enabled, so a grown tile stays sharp).
struct TileMagnification {
  double scale = 1;
  double rasterScale = 1;
  bool operator==(const TileMagnification&) const = default;
};

// The three inputs of a row layout: the tile size, the pointer's row x and the eased progress
// (0 to 1).
struct MagnificationWave {
  double unit = 0;
  double centerX = 0;
  double strength = 0;
  bool operator==(const MagnificationWave&) const = default;
};

// The magnified row: one slot per tile in row order, in row coordinates (0 at the left edge of
// the resting row).
struct MagnifiedRow {
  struct Slot {
    double restingMinX = 0;
    double restingWidth = 0;
    double scale = 1;
    double minX = 0;
    bool operator==(const Slot&) const = default;
  };
  std::vector<Slot> slots;

  // Tiles within 2.5 tile sizes of the wave's centre grow along a cosine, the one under it to
  // 1 + strength; the grown row stays centred on the resting one, spreading equally both ways.
  static MagnifiedRow layout(const std::vector<double>& restingWidths,
                             const MagnificationWave& wave);

  // The resting-row x under a magnified-row x, so the wave stays centred on the tile the
  // pointer is over instead of drifting as the row spreads out.
  double restingX(double visibleX) const;

  // Right end of the last magnified slot; 0 for no slots.
  double maxX() const {
    if (slots.empty()) {
      return 0;
    }
    const Slot& last = slots.back();
    return last.minX + last.restingWidth * last.scale;
  }

  bool operator==(const MagnifiedRow&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TileMagnification& magnification);
std::ostream& operator<<(std::ostream& out, const MagnifiedRow::Slot& slot);
std::ostream& operator<<(std::ostream& out, const MagnifiedRow& row);

}  // namespace quayline
