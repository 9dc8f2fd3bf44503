#include "dock/DockFrame.h"

#include <gtest/gtest.h>

namespace quayline {
namespace {

Tile app(std::string bundle) {
  return {"running:" + bundle, AppTile{bundle, "App", {}, {}}, TileSection::running};
}

const std::vector<Tile> kAppSpacerDivider{
    app("a"),
    {"pinned:spacer:1", SpacerTile{true}, TileSection::pinned},
    {"divider:running", DividerTile{}, TileSection::running}};

TEST(DockFrameTest, RestingFrameIsCentredOnTheScreensBottomEdgeAndClampedToIt) {
  const Rect screen(0, 0, 1280, 800);
  EXPECT_EQ(DockFrame::resting(DockLayout{48}, kAppSpacerDivider, screen),
            Rect(589, 0, 102, 67));  // round(640 - 51)
  // A second screen beside and above the primary one: its own bottom and centre.
  EXPECT_EQ(DockFrame::resting(DockLayout{64}, {app("a")}, Rect(1280, 200, 1000, 600)),
            Rect(1280 + 500 - 35, 200, 70, 83));
  // Odd widths round the origin half away from zero.
  EXPECT_EQ(DockFrame::resting(DockLayout{64}, {app("a")}, Rect(0, 0, 1001, 600)).minX(), 466);
  // No tiles: just the insets.
  EXPECT_EQ(DockFrame::resting(DockLayout{64}, {}, screen), Rect(638, 0, 4, 83));
  // Rows wider than the screen are clamped to it.
  const std::vector<Tile> many(30, app("a"));
  EXPECT_EQ(DockFrame::resting(DockLayout{64}, many, Rect(0, 0, 1280, 800)), Rect(0, 0, 1280, 83));
  EXPECT_EQ(DockFrame::resting(DockLayout{64}, many, Rect(-1280, 0, 1280, 800)),
            Rect(-1280, 0, 1280, 83));
}

TEST(DockFrameTest, StandsAboveWhatOtherPanelsReserveAlongTheBottomEdgeOnly) {
  const Rect frame(1280, 200, 1000, 600);
  struct Row {
    Rect visible;
    Rect standing;
  };
  const Row rows[] = {
      {frame, frame},
      {Rect(1280, 240, 1000, 560), Rect(1280, 240, 1000, 560)},  // a 40-point panel below
      {Rect(1280, 240, 1000, 500), Rect(1280, 240, 1000, 560)},  // and one on top: ignored
      {Rect(1330, 200, 950, 600), frame},                        // a side panel: ignored
      {Rect(), frame},                                           // nothing known
      {Rect(1280, 800, 1000, 0), frame},                         // nothing left: ignored
  };
  for (const Row& row : rows) {
    EXPECT_EQ(DockFrame::standingArea(Screen{1, frame, row.visible, 1}), row.standing)
        << row.visible;
  }
  const Rect raised = DockFrame::resting(
      DockLayout{64}, {app("a")}, DockFrame::standingArea(Screen{1, frame, rows[1].visible, 1}));
  EXPECT_EQ(raised, Rect(1280 + 500 - 35, 240, 70, 83));
}

TEST(DockFrameTest, TopLeftConversionAgainstThePrimaryScreen) {
  EXPECT_EQ(DockFrame::toTopLeft(Rect(589, 0, 102, 67), 800), Rect(589, 733, 102, 67));
  // A screen above the primary one has negative top-left y.
  EXPECT_EQ(DockFrame::toTopLeft(Rect(0, 800, 100, 83), 800), Rect(0, -83, 100, 83));
}

TEST(DockWindowStateTest, RebuildsContentOnlyWhenWhatItShowsChanges) {
  DockWindowState state;
  const Screen screen{7, Rect(0, 0, 1280, 800), Rect(0, 0, 1280, 780), 1};
  auto first = state.apply(DockLayout{48}, kAppSpacerDivider, screen, false);
  ASSERT_TRUE(first.content);
  EXPECT_EQ(first.content->displayID, 7u);
  EXPECT_EQ(first.frame, Rect(589, 0, 102, 67));
  EXPECT_FALSE(state.apply(DockLayout{48}, kAppSpacerDivider, screen, false).content);

  // A new tile size changes layout and frame.
  auto bigger = state.apply(DockLayout{64}, kAppSpacerDivider, screen, false);
  ASSERT_TRUE(bigger.content);
  EXPECT_EQ(bigger.frame.height(), 83);
  // Another display number with the same tiles is new content too.
  Screen other = screen;
  other.displayNumber = 8;
  EXPECT_TRUE(state.apply(DockLayout{64}, kAppSpacerDivider, other, false).content);

  auto magnified = state.apply(DockLayout{64}, kAppSpacerDivider, other, true);
  EXPECT_FALSE(magnified.content);
  EXPECT_EQ(magnified.frame, DockLayout{64}.magnifiedWindowFrame(state.restingFrame()));
  EXPECT_EQ(state.currentBaseFrame(), magnified.frame);
}

TEST(DockWindowStateTest, AutoHideLeavesOnePointAndRestoresTheBaseFrame) {
  DockWindowState state;
  const Screen screen{1, Rect(0, 0, 1280, 800), Rect(0, 0, 1280, 800), 1};
  state.apply(DockLayout{64}, {app("a")}, screen, true);
  const Rect base = state.currentBaseFrame();

  EXPECT_FALSE(state.setAutoHidden(false, true));  // no change, no motion
  const auto hide = state.setAutoHidden(true, true);
  ASSERT_TRUE(hide);
  EXPECT_EQ(hide->target.maxY(), screen.frame.minY() + 1);
  EXPECT_EQ(hide->target.height(), base.height());
  EXPECT_EQ(hide->duration, 0.18);
  EXPECT_EQ(hide->curve, DockWindowState::Curve::easeIn);
  EXPECT_FALSE(state.setAutoHidden(true, false));

  // While hidden, a frame application keeps the window down.
  EXPECT_EQ(state.apply(DockLayout{64}, {app("a")}, screen, true).frame.maxY(), 1);

  const auto show = state.setAutoHidden(false, true);
  ASSERT_TRUE(show);
  EXPECT_EQ(show->target, base);  // the magnified frame, not the resting one
  EXPECT_EQ(show->duration, 0.12);
  EXPECT_EQ(show->curve, DockWindowState::Curve::easeOut);
  EXPECT_EQ(state.setAutoHidden(true, false)->duration, 0);

  // Standing above another program's panel, it hides past the panel to the screen's edge.
  const Screen withPanel{1, screen.frame, Rect(0, 30, 1280, 770), 1};
  state.setAutoHidden(false, false);
  EXPECT_EQ(state.apply(DockLayout{64}, {app("a")}, withPanel, false).frame.minY(), 30);
  EXPECT_EQ(state.setAutoHidden(true, false)->target.maxY(), 1);
}

}  // namespace
}  // namespace quayline
