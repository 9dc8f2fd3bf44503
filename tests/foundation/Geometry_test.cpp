#include "foundation/Geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace quayline {
namespace {

// 100 wide, 50 high, from (10, 20) to (110, 70).
const Rect kRect(10, 20, 100, 50);

struct EdgeCase {
  Point point;
  bool contains;        // CGRectContainsPoint
  bool mouseUnflipped;  // NSMouseInRect, y up
  bool mouseFlipped;    // NSMouseInRect, y down
};

TEST(GeometryContainment, EdgesFollowEachRule) {
  const EdgeCase cases[] = {
      {{10, 20}, true, false, true},     // min corner
      {{50, 20}, true, false, true},     // bottom (min-y) edge
      {{50, 70}, false, true, false},    // top (max-y) edge
      {{10, 40}, true, true, true},      // min-x edge
      {{110, 40}, false, false, false},  // max-x edge
      {{110, 70}, false, false, false},  // max corner
      {{10, 70}, false, true, false},        {{50, 40}, true, true, true},
      {{109.999, 69.999}, true, true, true}, {{9.999, 40}, false, false, false},
      {{50, 70.001}, false, false, false},   {{NAN, 40}, false, false, false},
  };
  for (const auto& row : cases) {
    EXPECT_EQ(contains(kRect, row.point), row.contains) << row.point;
    EXPECT_EQ(mouseInRect(row.point, kRect), row.mouseUnflipped) << row.point;
    EXPECT_EQ(mouseInRect(row.point, kRect, Flipped::yes), row.mouseFlipped) << row.point;
  }
}

TEST(GeometryContainment, ATiledPlaneGivesEveryPointExactlyOneTile) {
  // Four screens meeting at the origin; points on every shared edge and corner.
  const std::vector<Rect> tiles = {
      {-100, -100, 100, 100}, {0, -100, 100, 100}, {-100, 0, 100, 100}, {0, 0, 100, 100}};
  for (const double x : {-50.0, 0.0, 50.0}) {
    for (const double y : {-50.0, 0.0, 50.0}) {
      const Point point{x, y};
      int byContains = 0;
      int byMouse = 0;
      int byFlippedMouse = 0;
      for (const auto& tile : tiles) {
        byContains += contains(tile, point);
        byMouse += mouseInRect(point, tile);
        byFlippedMouse += mouseInRect(point, tile, Flipped::yes);
      }
      EXPECT_EQ(byContains, 1) << point;
      EXPECT_EQ(byMouse, 1) << point;
      EXPECT_EQ(byFlippedMouse, 1) << point;
    }
  }
  // On the horizontal seam the two rules disagree: y up puts it in the lower tile.
  EXPECT_TRUE(contains(tiles[3], {50, 0}));
  EXPECT_TRUE(mouseInRect({50, 0}, tiles[1]));
}

TEST(GeometryContainment, EmptyAndNullRectanglesContainNothing) {
  for (const Rect& rect : {Rect(5, 5, 0, 10), Rect(5, 5, 10, 0), Rect(), Rect::null()}) {
    for (const Point point : {rect.origin, Point{5, 5}, Point{10, 10}, Point{0, 0}}) {
      EXPECT_FALSE(contains(rect, point)) << rect << " " << point;
      EXPECT_FALSE(mouseInRect(point, rect)) << rect << " " << point;
      EXPECT_FALSE(mouseInRect(point, rect, Flipped::yes)) << rect << " " << point;
    }
  }
}

TEST(GeometryContainment, NegativeSizesAreStandardized) {
  const Rect reversed(110, 70, -100, -50);
  EXPECT_EQ(reversed.standardized(), kRect);
  EXPECT_TRUE(contains(reversed, {10, 20}));
  EXPECT_FALSE(contains(reversed, {110, 70}));
  EXPECT_TRUE(mouseInRect({50, 70}, reversed));
}

TEST(GeometryRect, MeasuresStandardizedRectangles) {
  for (const Rect& rect : {kRect, Rect(110, 70, -100, -50)}) {
    EXPECT_EQ(rect.minX(), 10);
    EXPECT_EQ(rect.maxX(), 110);
    EXPECT_EQ(rect.minY(), 20);
    EXPECT_EQ(rect.maxY(), 70);
    EXPECT_EQ(rect.midX(), 60);
    EXPECT_EQ(rect.midY(), 45);
    EXPECT_EQ(rect.width(), 100);
    EXPECT_EQ(rect.height(), 50);
    EXPECT_EQ(rect.area(), 5000);
  }
  EXPECT_EQ(Rect::null().area(), 0);
  EXPECT_TRUE(Rect::null().isEmpty());
  EXPECT_TRUE(Rect(0, 0, 0, 5).isEmpty());
  EXPECT_FALSE(kRect.isEmpty());
  EXPECT_NE(Rect(110, 70, -100, -50), kRect);  // equal areas, different values
}

TEST(GeometryRect, Intersects) {
  const Rect other(60, 50, 100, 100);
  EXPECT_EQ(kRect.intersection(other), Rect(60, 50, 50, 20));
  EXPECT_EQ(other.intersection(kRect), Rect(60, 50, 50, 20));
  EXPECT_EQ(kRect.intersection(Rect(0, 0, 1000, 1000)), kRect);
  EXPECT_EQ(kRect.intersection(Rect(210, 170, -100, -100)), Rect(110, 70, 0, 0));

  // Touching edges intersect with an empty result; a gap gives the null rectangle.
  const Rect touching(110, 20, 10, 10);
  EXPECT_TRUE(kRect.intersects(touching));
  EXPECT_EQ(kRect.intersection(touching), Rect(110, 20, 0, 10));
  EXPECT_TRUE(kRect.intersection(touching).isEmpty());
  const Rect apart(111, 20, 10, 10);
  EXPECT_FALSE(kRect.intersects(apart));
  EXPECT_TRUE(kRect.intersection(apart).isNull());

  EXPECT_TRUE(kRect.intersection(Rect::null()).isNull());
  EXPECT_FALSE(Rect::null().intersects(kRect));
}

TEST(GeometryRect, Unions) {
  EXPECT_EQ(kRect.unionWith(Rect(200, 0, 10, 10)), Rect(10, 0, 200, 70));
  EXPECT_EQ(kRect.unionWith(Rect::null()), kRect);
  EXPECT_EQ(Rect::null().unionWith(Rect(110, 70, -100, -50)), kRect);
  EXPECT_TRUE(Rect::null().unionWith(Rect::null()).isNull());
  // An empty rectangle is still a place: it stretches the union.
  EXPECT_EQ(kRect.unionWith(Rect(0, 0, 0, 0)), Rect(0, 0, 110, 70));
}

TEST(GeometryRect, InsetsAndOffsets) {
  EXPECT_EQ(kRect.insetBy(10, 5), Rect(20, 25, 80, 40));
  EXPECT_EQ(kRect.insetBy(-12, -12), Rect(-2, 8, 124, 74));
  EXPECT_EQ(kRect.insetBy(50, 25), Rect(60, 45, 0, 0));
  EXPECT_TRUE(kRect.insetBy(50.5, 0).isNull());
  EXPECT_TRUE(Rect::null().insetBy(-10, -10).isNull());
  EXPECT_EQ(Rect(110, 70, -100, -50).insetBy(1, 1), Rect(11, 21, 98, 48));

  EXPECT_EQ(kRect.offsetBy(-10, 5), Rect(0, 25, 100, 50));
  EXPECT_EQ(Rect(110, 70, -100, -50).offsetBy(1, 1), Rect(11, 21, 100, 50));
  EXPECT_TRUE(Rect::null().offsetBy(1, 1).isNull());
}

}  // namespace
}  // namespace quayline
