#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quayline {

// Components from 0 to 1; the badge is always opaque.
struct RgbColor {
  double red = 0;
  double green = 0;
  double blue = 0;
  bool operator==(const RgbColor&) const = default;
};

// The fill of a profile's badge: the colour "Local State" gives, without its alpha byte (the
// browser stores a signed integer whose top byte is not an opacity), else a hue picked from the
// directory's hash so each profile keeps its colour from run to run.
RgbColor profileBadgeColor(const std::optional<std::uint32_t>& argb, std::string_view directory);
double profileBadgeHue(std::string_view directory);

// Lengths in points for a tile of size `tileSize` drawn at magnification `scale`.
struct ProfileBadgeGeometry {
  double diameter = 0;
  double ringWidth = 0;
  double initialFontSize = 0;
};
ProfileBadgeGeometry profileBadgeGeometry(double tileSize, double scale);

}  // namespace quayline
