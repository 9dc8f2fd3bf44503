#include <gtest/gtest.h>

#include "platform/linux/x11/Conversions.h"

namespace quayline::x11 {
namespace {

// A 2560×1600-pixel primary screen at scale 2 with a 1280×1024 one at scale 1 on its right, the
// way Qt lays them out: each scaled about its own top-left corner, so the logical spaces of the
// two leave a gap between them.
const PixelSpace kMixed{{{Rect(0, 0, 2560, 1600), 2}, {Rect(2560, 0, 1280, 1024), 1}}};

TEST(PixelSpaceTest, MapsThroughTheScreenHoldingThePointBothWays) {
  struct Row {
    Point pixel;
    Point logical;
  };
  const Row rows[] = {
      {{0, 0}, {0, 0}},
      {{2000, 1500}, {1000, 750}},
      {{2560, 100}, {2560, 100}},    // the second screen's corner is shared
      {{3000, 1000}, {3000, 1000}},  // scale 1 there
      {{-100, 400}, {-50, 200}},     // left of everything: the nearest screen's scale
  };
  for (const Row& row : rows) {
    EXPECT_EQ(kMixed.toLogical(row.pixel), row.logical) << row.pixel;
    EXPECT_EQ(kMixed.toPixels(row.logical), row.pixel) << row.logical;
  }
  // A window's frame scales by the screen its origin is on, and comes back whole.
  const Rect window(200, 100, 1600, 1000);
  EXPECT_EQ(kMixed.toLogical(window), Rect(100, 50, 800, 500));
  EXPECT_EQ(kMixed.toPixels(kMixed.toLogical(window)), window);
  EXPECT_EQ(kMixed.scaleAt({2600, 10}), 1);
  EXPECT_EQ(kMixed.pixelBounds(), Rect(0, 0, 3840, 1600));
  EXPECT_EQ(kMixed.primaryOrigin(), (Point{0, 0}));
}

TEST(PixelSpaceTest, WithoutScreensOrWithANonsenseScaleNothingIsScaled) {
  const PixelSpace none;
  EXPECT_EQ(none.toLogical(Rect(10, 20, 30, 40)), Rect(10, 20, 30, 40));
  EXPECT_EQ(none.toPixels(Point{5, 6}), (Point{5, 6}));
  EXPECT_EQ(none.scaleAt({0, 0}), 1);
  const PixelSpace broken{{{Rect(100, 50, 800, 600), 0}}};
  EXPECT_EQ(broken.toLogical(Rect(200, 100, 30, 40)), Rect(200, 100, 30, 40));
  EXPECT_EQ(broken.primaryOrigin(), (Point{100, 50}));
}

}  // namespace
}  // namespace quayline::x11
