#include "chrome/ProfileBadge.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "foundation/Fnv.h"

namespace quayline {

namespace {

constexpr std::array<double, 7> kHues{0.58, 0.02, 0.33, 0.75, 0.10, 0.48, 0.90};
constexpr double kSaturation = 0.55;
constexpr double kBrightness = 0.72;

RgbColor fromHsb(double hue, double saturation, double brightness) {
  const double h = (hue - std::floor(hue)) * 6;
  const double f = h - std::floor(h);
  const double p = brightness * (1 - saturation);
  const double q = brightness * (1 - saturation * f);
  const double t = brightness * (1 - saturation * (1 - f));
  switch (static_cast<int>(h) % 6) {
    case 0:
      return {brightness, t, p};
    case 1:
      return {q, brightness, p};
    case 2:
      return {p, brightness, t};
    case 3:
      return {p, q, brightness};
    case 4:
      return {t, p, brightness};
    default:
      return {brightness, p, q};
  }
}

}  // namespace

double profileBadgeHue(std::string_view directory) {
  return kHues[fnv1a32(directory) % kHues.size()];
}

RgbColor profileBadgeColor(const std::optional<std::uint32_t>& argb, std::string_view directory) {
  if (argb) {
    auto channel = [&](int shift) { return static_cast<double>((*argb >> shift) & 0xFF) / 255; };
    return {channel(16), channel(8), channel(0)};
  }
  return fromHsb(profileBadgeHue(directory), kSaturation, kBrightness);
}

ProfileBadgeGeometry profileBadgeGeometry(double tileSize, double scale) {
  const double t = std::round(tileSize);
  const bool magnified = scale != 1;
  const double diameter = magnified ? std::round(scale * t) * 0.58 : std::round(t * 0.58);
  const double drawn = magnified ? std::round(scale * t) : t;
  return {diameter, std::max(std::round(drawn * 0.04), 1.0), diameter * 0.55};
}

}  // namespace quayline
