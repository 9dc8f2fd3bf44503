#include "chrome/ProfileBadge.h"

#include <gtest/gtest.h>

namespace quayline {
namespace {

TEST(ProfileBadge, ColourIgnoresAlphaAndFallsBackToTheDirectorysHue) {
  const RgbColor blue{0x1A / 255.0, 0x73 / 255.0, 0xE8 / 255.0};
  EXPECT_EQ(profileBadgeColor(0xFF1A73E8u, "Default"), blue);
  EXPECT_EQ(profileBadgeColor(0x001A73E8u, "Default"), blue);

  const std::vector<std::pair<std::string, double>> hues{
      {"Default", 0.90}, {"Profile 1", 0.75}, {"Profile 2", 0.33}, {"", 0.33}};
  for (const auto& [directory, hue] : hues) {
    EXPECT_EQ(profileBadgeHue(directory), hue) << directory;
  }
  // Hue 0.75 at saturation 0.55 and brightness 0.72: a violet whose blue is the brightness.
  const RgbColor violet = profileBadgeColor(std::nullopt, "Profile 1");
  EXPECT_NEAR(violet.blue, 0.72, 1e-9);
  EXPECT_NEAR(violet.green, 0.72 * 0.45, 1e-9);
  EXPECT_NEAR(violet.red, 0.72 * (1 - 0.55 * 0.5), 1e-9);
}

TEST(ProfileBadge, GeometryAtRestAndMagnified) {
  const ProfileBadgeGeometry rest = profileBadgeGeometry(48, 1);
  EXPECT_DOUBLE_EQ(rest.diameter, 28);  // nearest(27.84)
  EXPECT_DOUBLE_EQ(rest.ringWidth, 2);  // nearest(1.92)
  const ProfileBadgeGeometry grown = profileBadgeGeometry(48, 1.5);
  EXPECT_DOUBLE_EQ(grown.diameter, 72 * 0.58);
  EXPECT_DOUBLE_EQ(grown.ringWidth, 3);
  EXPECT_DOUBLE_EQ(grown.initialFontSize, 72 * 0.58 * 0.55);
  EXPECT_DOUBLE_EQ(profileBadgeGeometry(16, 1).ringWidth, 1);
}

}  // namespace
}  // namespace quayline
