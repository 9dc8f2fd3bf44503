#include "switcher/SwitcherLayout.h"

#include <gtest/gtest.h>

namespace quayline {
namespace {

TEST(SwitcherLayout, FitsTheGridToTheDisplay) {
  const Rect visible(0, 0, 1440, 875);  // 1360 × 795 inside the margin
  struct Case {
    int count;
    double scale;
    int columns;
    Size panel;
  };
  for (const Case& c : {Case{0, 1, 1, {320, 96}},
                        {1, 1, 1, {248, 200}},
                        {3, 1, 3, {684, 200}},
                        {8, 1, 6, {1338, 370}},
                        {9, 1, 6, {1338, 370}},
                        {10, 1, 6, {1338, 370}},
                        {60, 0.4503, 8, {805, 637}},
                        {200, 0.4, 8, {708, 1687}}}) {
    const SwitcherLayout layout = SwitcherLayout::fitting(c.count, visible);
    EXPECT_NEAR(layout.scale, c.scale, 1e-4) << c.count;
    EXPECT_EQ(layout.columns, c.columns) << c.count;
    EXPECT_EQ(layout.panelSize(c.count), c.panel) << c.count;
  }
  // Never more than eight in a row, however wide the display.
  EXPECT_EQ(SwitcherLayout::fitting(20, Rect(0, 0, 6000, 3000)).columns, 8);
}

TEST(SwitcherLayout, ThePanelStaysCentredInsideTheDisplay) {
  const Rect visible(1440, 60, 1440, 875);  // a second display, above a 60-point panel
  const SwitcherLayout one = SwitcherLayout::fitting(1, visible);
  EXPECT_EQ(one.panelFrame(1, visible), Rect(2036, 398, 248, 200));
  // Too many windows even at the smallest scale: the panel keeps to the room inside the margin
  // and its grid scrolls.
  const SwitcherLayout many = SwitcherLayout::fitting(200, visible);
  EXPECT_EQ(many.panelFrame(200, visible), Rect(1806, 100, 708, 795));
}

}  // namespace
}  // namespace quayline
