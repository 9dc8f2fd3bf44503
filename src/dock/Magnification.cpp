#include "dock/Magnification.h"

namespace quayline {

std::ostream& operator<<(std::ostream& out, const TileMagnification& magnification) {
  return out << "TileMagnification{scale " << magnification.scale << ", raster "
             << magnification.rasterScale << "}";
}

std::ostream& operator<<(std::ostream& out, const MagnifiedRow::Slot& slot) {
  return out << "Slot{resting " << slot.restingMinX << " + " << slot.restingWidth << ", scale "
             << slot.scale << ", minX " << slot.minX << "}";
}

}  // namespace quayline
