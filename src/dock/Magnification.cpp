#include "dock/Magnification.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quayline {

MagnifiedRow MagnifiedRow::layout(const std::vector<double>& restingWidths,
                                  const MagnificationWave& wave) {
  MagnifiedRow row;
  row.slots.reserve(restingWidths.size());
  const double reach = 2.5 * wave.unit;
  double restingMinX = 0;
  double scaledTotal = 0;
  for (double width : restingWidths) {
    const double d = std::fabs(restingMinX + width * 0.5 - wave.centerX) / reach;
    const double f = d < 1 ? (std::cos(std::numbers::pi * d) + 1) * 0.5 : 0;
    const double scale = 1 + wave.strength * f;
    row.slots.push_back(Slot{restingMinX, width, scale, 0});
    restingMinX += width;
    scaledTotal += width * scale;
  }
  double minX = (restingMinX - scaledTotal) * 0.5;
  for (Slot& slot : row.slots) {
    slot.minX = minX;
    minX += slot.restingWidth * slot.scale;
  }
  return row;
}

double MagnifiedRow::restingX(double visibleX) const {
  if (slots.empty()) {
    return visibleX;
  }
  const Slot& first = slots.front();
  if (visibleX <= first.minX) {
    return visibleX - first.minX + first.restingMinX;
  }
  const double end = maxX();
  if (visibleX >= end) {
    const Slot& last = slots.back();
    return last.restingMinX + last.restingWidth + (visibleX - end);
  }
  for (const Slot& slot : slots) {
    const double magnifiedWidth = slot.restingWidth * slot.scale;
    if (slot.minX + magnifiedWidth >= visibleX) {
      // A zero-width slot must not divide by zero.
      return slot.restingMinX +
             slot.restingWidth * ((visibleX - slot.minX) / std::max(magnifiedWidth, 0.0001));
    }
  }
  return visibleX;  // not reached: the last slot ends at maxX
}

std::ostream& operator<<(std::ostream& out, const TileMagnification& magnification) {
  return out << "TileMagnification{scale " << magnification.scale << ", raster "
             << magnification.rasterScale << "}";
}

std::ostream& operator<<(std::ostream& out, const MagnifiedRow::Slot& slot) {
  return out << "Slot{resting " << slot.restingMinX << " + " << slot.restingWidth << ", scale "
             << slot.scale << ", minX " << slot.minX << "}";
}

std::ostream& operator<<(std::ostream& out, const MagnifiedRow& row) {
  out << "MagnifiedRow{";
  for (std::size_t i = 0; i < row.slots.size(); ++i) {
    out << (i == 0 ? "" : ", ") << row.slots[i];
  }
  return out << "}";
}

}  // namespace quayline
