#include "ui/dock/ProfileTileView.h"

#include <gtest/gtest.h>

#include "DockViewFixture.h"

namespace quayline::testing {
namespace {

class ProfileTileViewTest : public DockViewFixture {
 protected:
  // The badge over a 72-point transparent icon square at backing scale 1.
  QImage paint(const ChromeProfileTile& profile, const std::optional<ChromeAvatar>& avatar,
               double scale) {
    QImage image(72, 72, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    ProfileTileView::paintBadge(painter, QRectF(0, 0, 72, 72), profile, avatar, icons,
                                {48, scale, 1});
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
  }

  static ChromeProfileTile profile(std::optional<std::uint32_t> colour) {
    ChromeProfileTile tile;
    tile.profileDirectory = "Profile 1";
    tile.badgeColorARGB = colour;
    return tile;
  }
};

TEST_F(ProfileTileViewTest, MagnifiedInitialBadgeIsOpaqueColourInsideAThreePointRing) {
  // Diameter nearest(72) × 0.58 = 41.76 at the bottom-trailing corner: from 30.24 to 72.
  const QImage image = paint(profile(0x001A73E8), std::nullopt, 1.5);
  EXPECT_EQ(image.pixel(51, 51), 0xFF1A73E8u);  // alpha byte 0x00, drawn opaque
  EXPECT_EQ(image.pixel(70, 51), 0xFFFFFFFFu);  // within the 3-point ring
  EXPECT_EQ(image.pixel(66, 51), 0xFF1A73E8u);  // inside it
  EXPECT_EQ(qAlpha(image.pixel(32, 32)), 0);    // the square's corner, outside the circle
  EXPECT_EQ(qAlpha(image.pixel(28, 51)), 0);    // left of the badge
}

TEST_F(ProfileTileViewTest, AvatarIsClippedToTheCircleAtRest) {
  ArgbImage red{4, 4, std::vector<std::uint32_t>(16, 0xFFFF0000u)};
  const ChromeAvatar avatar{std::make_shared<const ArgbImage>(red), "avatar:27"};
  // Diameter nearest(27.84) = 28, from 44 to 72; ring of 2.
  const QImage image = paint(profile(0xFF00FF00), avatar, 1);
  EXPECT_EQ(image.pixel(58, 58), 0xFFFF0000u);
  EXPECT_EQ(image.pixel(70, 58), 0xFFFFFFFFu);
  EXPECT_EQ(image.pixel(67, 58), 0xFFFF0000u);
  EXPECT_EQ(qAlpha(image.pixel(45, 45)), 0);
  EXPECT_EQ(qAlpha(image.pixel(42, 58)), 0);
  EXPECT_TRUE(icons.contains("image:avatar:Profile 1:avatar:27:28"));
}

}  // namespace
}  // namespace quayline::testing
