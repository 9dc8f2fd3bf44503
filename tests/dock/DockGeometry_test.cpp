#include <gtest/gtest.h>

#include "dock/DisplayScope.h"
#include "dock/DisplayTarget.h"
#include "dock/DockLayout.h"
#include "fakes/FakePreferenceDomains.h"

namespace quayline {
namespace {

Tile app(std::string id, std::string bundle) {
  return {std::move(id), AppTile{std::move(bundle), "App", {}, {}}, TileSection::running};
}

TEST(DockLayoutTest, SlotsRowAndMagnifiedFrame) {
  const DockLayout layout{48};
  const std::vector<Tile> tiles{app("pinned:app:a", "a"),
                                {"pinned:spacer:1", SpacerTile{true}, TileSection::pinned},
                                {"divider:running", DividerTile{}, TileSection::running}};
  EXPECT_EQ(layout.rowWidth(tiles), 50 + 24 + 24);
  EXPECT_EQ(layout.windowHeight(), 67);
  EXPECT_EQ(layout.rowWidth({}), 0);

  const DockLayout half{37.5};
  EXPECT_EQ(half.t(), 38);
  EXPECT_EQ(half.slotWidth(TrashTile{}), 40);
  EXPECT_EQ(half.slotWidth(SpacerTile{false}), 40);
  EXPECT_EQ(half.slotWidth(SpacerTile{true}), 19);
  EXPECT_EQ(DockLayout{64}.magnifiedWindowFrame(Rect(100, 0, 500, 83)),
            Rect(100 - 146, 0, 792, 147));
}

TEST(DockLayoutTest, TileSizeFromTheSystemDock) {
  FakePreferenceDomains domains;
  EXPECT_EQ(DockLayout::current(domains).tileSize, 64);
  domains.external("com.apple.dock", "tilesize", PropertyValue(48));
  EXPECT_EQ(DockLayout::current(domains).tileSize, 48);  // read fresh, after synchronising
  domains.external("com.apple.dock", "tilesize", PropertyValue(40.5));
  EXPECT_EQ(DockLayout::current(domains).tileSize, 40.5);
  domains.external("com.apple.dock", "tilesize", PropertyValue("big"));
  EXPECT_EQ(DockLayout::current(domains).tileSize, 64);
}

TEST(DisplayTargetTest, ChoosesScreensByTarget) {
  const Screen left{1, Rect(0, 0, 1000, 800), Rect(0, 0, 1000, 780), 1};
  const Screen right{2, Rect(1000, 0, 800, 600), Rect(1000, 0, 800, 600), 2};
  const std::vector<Screen> both{left, right};
  using enum WindowDisplayTarget;
  EXPECT_EQ(DisplayTarget::screens(primaryDisplay, both, {1500, 10}), std::vector{left});
  EXPECT_EQ(DisplayTarget::screens(allDisplays, both, {}), both);
  EXPECT_EQ(DisplayTarget::screens(followsPointer, both, {1500, 10}), std::vector{right});
  EXPECT_EQ(DisplayTarget::screens(followsPointer, both, {5000, 5000}), std::vector{left});
  EXPECT_TRUE(DisplayTarget::screens(allDisplays, {}, {}).empty());
  // The pointer's containment: the bottom edge is outside, the top edge inside.
  EXPECT_EQ(DisplayTarget::displayUnderPointer(both, {1500, 600}), 2u);
  EXPECT_EQ(DisplayTarget::displayUnderPointer(both, {1500, 0}), std::nullopt);
}

class DisplayScopeTest : public ::testing::Test {
 protected:
  const std::vector<DisplayBounds> displays{{1, Rect(0, 0, 1000, 800)},
                                            {2, Rect(1000, 0, 1000, 800)}};
  std::map<std::string, std::vector<AppWindow>> windowsByBundle;
  DisplayScope::TileWindows windowsOf = [this](const Tile& tile) {
    return tile.app() ? windowsByBundle[tile.app()->bundleIdentifier] : std::vector<AppWindow>{};
  };
  AppWindow window(Rect frame) {
    AppWindow result;
    result.frame = frame;
    return result;
  }
};

TEST_F(DisplayScopeTest, WindowDisplayByMidpointThenLargestOverlap) {
  EXPECT_EQ(DisplayScope::displayID(Rect(900, 100, 300, 100), displays), 2u);  // mid at 1050
  EXPECT_EQ(DisplayScope::displayID(Rect(600, 100, 600, 100), displays), 1u);  // mid at 900
  EXPECT_EQ(DisplayScope::displayID(Rect(5000, 5000, 10, 10), displays), std::nullopt);
  EXPECT_EQ(DisplayScope::displayID(std::nullopt, displays), std::nullopt);
  EXPECT_EQ(DisplayScope::displayID(Rect(10, 10, 0, 10), displays), std::nullopt);
  EXPECT_EQ(DisplayScope::displayID(Rect::null(), displays), std::nullopt);
  // Midpoint below every display: the larger overlap wins, a tie keeps the earlier display.
  EXPECT_EQ(DisplayScope::displayID(Rect(850, 700, 400, 400), displays), 2u);
  EXPECT_EQ(DisplayScope::displayID(Rect(900, 700, 200, 400), displays), 1u);
}

TEST_F(DisplayScopeTest, PerDisplayDockKeepsRunningTilesWithWindowsThere) {
  windowsByBundle["left"] = {window(Rect(10, 10, 100, 100))};
  windowsByBundle["straddling"] = {window(Rect(700, 10, 600, 100))};  // mid 1000: display 2
  windowsByBundle["offscreen"] = {window(Rect(5000, 5000, 10, 10))};
  windowsByBundle["pinned"] = {window(Rect(1500, 10, 10, 10))};
  const std::vector<Tile> tiles{app("pinned:app:pinned", "pinned"),
                                {"divider:running", DividerTile{}, TileSection::running},
                                app("running:left", "left"),
                                app("running:straddling", "straddling"),
                                app("running:offscreen", "offscreen"),
                                app("running:nowindows", "nowindows"),
                                {"divider:trailing", DividerTile{}, TileSection::trailing}};
  auto ids = [&](std::optional<DisplayNumber> display, RunningAppsScope scope) {
    std::vector<std::string> result;
    for (const auto& tile : DisplayScope::tiles(tiles, display, scope, windowsOf, displays)) {
      result.push_back(tile.id);
    }
    return result;
  };
  using enum RunningAppsScope;
  EXPECT_EQ(ids(1, displayWithWindows),
            (std::vector<std::string>{"pinned:app:pinned", "divider:running", "running:left",
                                      "divider:trailing"}));
  EXPECT_EQ(ids(2, displayWithWindows),
            (std::vector<std::string>{"pinned:app:pinned", "divider:running", "running:straddling",
                                      "divider:trailing"}));
  EXPECT_EQ(ids(3, displayWithWindows),
            (std::vector<std::string>{"pinned:app:pinned", "divider:trailing"}));
  EXPECT_EQ(ids(std::nullopt, displayWithWindows).size(), tiles.size());
  EXPECT_EQ(ids(1, allDisplays).size(), tiles.size());
}

}  // namespace
}  // namespace quayline
