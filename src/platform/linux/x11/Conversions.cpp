#include "platform/linux/x11/Conversions.h"

#include <cmath>
#include <limits>

#include "foundation/Utf8.h"

namespace quayline::x11 {

std::string repairedUtf8(std::string_view bytes) {
  return validUtf8(bytes);
}

std::string latin1ToUtf8(std::string_view bytes) {
  std::string result;
  result.reserve(bytes.size());
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      result.push_back(c);
    } else {
      result.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      result.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
  return result;
}

namespace {

// How far `point` lies outside `rect`; 0 inside.
double distance(const Rect& rect, Point point) {
  const double dx = std::max({rect.minX() - point.x, 0.0, point.x - rect.maxX()});
  const double dy = std::max({rect.minY() - point.y, 0.0, point.y - rect.maxY()});
  return std::hypot(dx, dy);
}

// The screen holding `point` in the space `area` gives, else the nearest; null without screens.
template <typename Area>
const ScaledScreen* holding(const std::vector<ScaledScreen>& screens, Point point, Area area) {
  const ScaledScreen* nearest = nullptr;
  double best = std::numeric_limits<double>::infinity();
  for (const ScaledScreen& screen : screens) {
    const Rect rect = area(screen);
    if (contains(rect, point)) {
      return &screen;
    }
    if (const double d = distance(rect, point); d < best) {
      best = d;
      nearest = &screen;
    }
  }
  return nearest;
}

const ScaledScreen* holdingPixel(const std::vector<ScaledScreen>& screens, Point pixel) {
  return holding(screens, pixel, [](const ScaledScreen& screen) { return screen.pixels; });
}

const ScaledScreen* holdingLogical(const std::vector<ScaledScreen>& screens, Point logical) {
  return holding(screens, logical, [](const ScaledScreen& screen) { return screen.logical(); });
}

double validScale(const ScaledScreen* screen) {
  return screen != nullptr && std::isfinite(screen->scale) && screen->scale > 0 ? screen->scale
                                                                                : 1.0;
}

}  // namespace

Point PixelSpace::primaryOrigin() const {
  return screens.empty() ? Point{} : screens.front().pixels.origin;
}

double PixelSpace::scaleAt(Point pixel) const {
  return validScale(holdingPixel(screens, pixel));
}

Point PixelSpace::toLogical(Point pixel) const {
  const ScaledScreen* screen = holdingPixel(screens, pixel);
  if (screen == nullptr) {
    return pixel;
  }
  const double scale = validScale(screen);
  const Point origin = screen->pixels.origin;
  return Point{origin.x + (pixel.x - origin.x) / scale, origin.y + (pixel.y - origin.y) / scale};
}

Rect PixelSpace::toLogical(const Rect& pixels) const {
  const double scale = scaleAt(pixels.origin);
  return Rect(toLogical(pixels.origin), Size{pixels.width() / scale, pixels.height() / scale});
}

Point PixelSpace::toPixels(Point logical) const {
  const ScaledScreen* screen = holdingLogical(screens, logical);
  if (screen == nullptr) {
    return logical;
  }
  const double scale = validScale(screen);
  const Point origin = screen->pixels.origin;
  return Point{origin.x + (logical.x - origin.x) * scale,
               origin.y + (logical.y - origin.y) * scale};
}

Rect PixelSpace::toPixels(const Rect& logical) const {
  const double scale = validScale(holdingLogical(screens, logical.origin));
  return Rect(toPixels(logical.origin), Size{logical.width() * scale, logical.height() * scale});
}

Rect PixelSpace::pixelBounds() const {
  Rect bounds = Rect::null();
  for (const ScaledScreen& screen : screens) {
    bounds = bounds.unionWith(screen.pixels);
  }
  return bounds;
}

}  // namespace quayline::x11
