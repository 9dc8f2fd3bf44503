#include "dock/DockRowGeometry.h"

#include <gtest/gtest.h>

#include "dock/TilePresentation.h"

namespace quayline {
namespace {

Tile app(const std::string& id) {
  return Tile{"pinned:" + id, AppTile{id, id}};
}

std::vector<Tile> apps(std::size_t count) {
  std::vector<Tile> tiles;
  for (std::size_t i = 0; i < count; ++i) {
    tiles.push_back(app("app" + std::to_string(i)));
  }
  return tiles;
}

// A row as the magnification model lays it out: centred on the resting row.
MagnifiedRow spread(const std::vector<double>& widths, const std::vector<double>& scales) {
  double total = 0;
  double scaled = 0;
  for (std::size_t i = 0; i < widths.size(); ++i) {
    total += widths[i];
    scaled += widths[i] * scales[i];
  }
  MagnifiedRow row;
  double resting = 0;
  double x = (total - scaled) * 0.5;
  for (std::size_t i = 0; i < widths.size(); ++i) {
    row.slots.push_back({resting, widths[i], scales[i], x});
    resting += widths[i];
    x += widths[i] * scales[i];
  }
  return row;
}

TEST(DockRowGeometry, MagnifiedRowSpreadsTilesAndGrowsTheGlassEvenly) {
  const std::vector<double> widths(5, 50);
  const MagnifiedRow row = spread(widths, {1.067, 1.6294, 2, 1.6294, 1.067});
  const auto g = DockRowGeometry::compute(apps(5), DockLayout{48}, row, true);
  EXPECT_EQ(g.hoverHeadroom, 48);
  EXPECT_EQ(g.placed[2].offset, 0) << "the centre tile stays put";
  EXPECT_LT(g.placed[0].offset, 0);
  EXPECT_EQ(g.placed[0].offset, -g.placed[4].offset);
  for (const auto& placed : g.placed) {
    EXPECT_EQ(placed.magnification.rasterScale, 2);
  }
  // The row grows by about 119.6 points: 60 on each side after rounding the leading edge.
  EXPECT_EQ(g.extra, 60);
  EXPECT_EQ(g.glassWidth, 250 + 120 + 4);
}

TEST(DockRowGeometry, RowsOfAnotherTileCountOrNoneAreIgnored) {
  const MagnifiedRow row = spread({50, 50}, {2, 2});
  const auto g = DockRowGeometry::compute(apps(3), DockLayout{48}, row, true);
  for (const auto& placed : g.placed) {
    EXPECT_EQ(placed.magnification.scale, 1);
    EXPECT_EQ(placed.offset, 0);
  }
  EXPECT_EQ(g.extra, 0);
  const auto none =
      DockRowGeometry::compute(std::vector<Tile>{}, DockLayout{64}, MagnifiedRow{}, true);
  EXPECT_EQ(none.extra, 0);
  EXPECT_EQ(none.glassWidth, 4);
}

TEST(TilePresentation, ToolTipGivesWayToPreviews) {
  const AppTile mail{"com.example.mail", "Mail"};
  EXPECT_EQ(TilePresentation::appToolTip(mail, false, true), "Mail");
  EXPECT_EQ(TilePresentation::appToolTip(mail, true, true), std::nullopt);
  EXPECT_EQ(TilePresentation::appToolTip(mail, true, false), "Mail");
  ChromeProfileTile work;
  work.displayName = "Work";
  EXPECT_EQ(TilePresentation::profileToolTip(work, false, true), "Work");
  EXPECT_EQ(TilePresentation::profileToolTip(work, true, true), std::nullopt);
  EXPECT_EQ(TilePresentation::profileToolTip(work, true, false), "Work");
}

TEST(TilePresentation, PlacementOnAPerDisplayDock) {
  const std::set<std::string> running{"com.example.mail"};
  std::vector<DisplayNumber> displays;
  TilePresentation::PlacementInputs inputs{running,
                                           WindowDisplayTarget::allDisplays,
                                           RunningAppsScope::displayWithWindows,
                                           DisplayNumber{2},
                                           nullptr,
                                           [&](const Tile&) { return displays; }};
  const Tile mail{"pinned:com.example.mail", AppTile{"com.example.mail", "Mail"}};

  EXPECT_EQ(TilePresentation::placement(mail, inputs), (TileDisplayPlacement{true, 2}))
      << "running without windows: lit everywhere";
  displays = {1};
  EXPECT_EQ(TilePresentation::placement(mail, inputs), (TileDisplayPlacement{false, 2}))
      << "windows only on another display: unlit here";
  displays = {1, 2};
  EXPECT_TRUE(TilePresentation::placement(mail, inputs).isLit);

  const Tile finder{"system:com.apple.finder", AppTile{"com.example.mail", "Files"}};
  displays = {1};
  EXPECT_EQ(TilePresentation::placement(finder, inputs),
            (TileDisplayPlacement{true, std::nullopt}));

  inputs.displayTarget = WindowDisplayTarget::primaryDisplay;
  EXPECT_EQ(TilePresentation::placement(mail, inputs), (TileDisplayPlacement{true, std::nullopt}));

  const Tile trash{"trailing:trash", TrashTile{}};
  EXPECT_EQ(TilePresentation::placement(trash, inputs), TileDisplayPlacement{});
}

}  // namespace
}  // namespace quayline
