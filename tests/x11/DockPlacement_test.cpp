// Where the real dock stands: above another program's bottom panel, and on a screen that Qt
// scales by 2, where its geometry doubles in X pixels while clicks and menus still land on
// their tiles.
#include <gtest/gtest.h>

#include <cstring>

#include "support/Desktop.h"
#include "support/RunningDock.h"
#include "support/X11Environment.h"

namespace quayline::x11test {
namespace {

using Button = RunningDock::Button;

constexpr int kDockHeight = 64 + 19;  // the default tile size plus the row's margins

TEST(DockPlacement, StandsAboveAnotherProgramsBottomPanelWhileItIsThere) {
  RunningDock dock({.pinned = std::vector<PinnedItem>{}, .trailing = std::vector<PinnedItem>{}});
  ASSERT_TRUE(dock.started()) << dock.logText();
  ASSERT_TRUE(waitUntil([&] { return dock.dockFrame().bottom() == XServer::kHeight; }))
      << dock.dockFrame();

  TestClient panel({"--title", "Panel", "--type", "dock", "--size",
                    std::to_string(XServer::kWidth) + "x30", "--pos",
                    "0," + std::to_string(XServer::kHeight - 30), "--strut", "0,0,0,30"});
  EXPECT_TRUE(waitUntil([&] { return dock.dockFrame().bottom() == XServer::kHeight - 30; }))
      << dock.dockFrame() << "\n"
      << dock.logText();
  EXPECT_EQ(dock.dockFrame().height, kDockHeight);

  panel.stop();
  EXPECT_TRUE(waitUntil([&] { return dock.dockFrame().bottom() == XServer::kHeight; }))
      << dock.dockFrame();
}

// Two ways a user asks Qt for twice the pixels: the toolkit's variable, or the X resource every
// toolkit reads its font resolution from.
struct ScaleSource {
  const char* name;
  std::map<std::string, std::string> environment;
  const char* resources;
};

void PrintTo(const ScaleSource& source, std::ostream* out) {
  *out << source.name;
}

class DockAtScaleTwo : public testing::TestWithParam<ScaleSource> {};

TEST_P(DockAtScaleTwo, DoublesItsGeometryWhileClicksAndMenusLandOnTheirTiles) {
  if (const char* resources = GetParam().resources) {
    Probe probe;
    xcb_change_property(probe.connection(), XCB_PROP_MODE_REPLACE, probe.root(),
                        probe.atom("RESOURCE_MANAGER"), XCB_ATOM_STRING, 8,
                        static_cast<std::uint32_t>(std::strlen(resources)), resources);
    probe.sync();
  }
  const InstalledEntry alphaEntry("org.quayline.Alpha.desktop",
                                  clientEntry("Alpha", "--class alpha,Alpha", "Alpha"));
  const InstalledEntry betaEntry("org.quayline.Beta.desktop",
                                 clientEntry("Beta", "--class beta,Beta", "Beta"));
  TestClient alpha({"--title", "Alpha", "--class", "alpha,Alpha"});
  TestClient beta({"--title", "Beta", "--class", "beta,Beta"});
  // Covers the screen: window geometry read in X pixels must meet the dock's in points.
  TestClient large({"--title", "Large", "--size", "1240x770", "--pos", "10,0"});
  RunningDock dock({.pinned = std::vector<PinnedItem>{},
                    .trailing = std::vector<PinnedItem>{},
                    .tileSize = 64,
                    .settings = {{"autohide", PropertyValue(false)}},
                    .environment = GetParam().environment,
                    .scale = 2});
  ASSERT_TRUE(dock.started()) << dock.logText();
  const xcb_window_t alphaWindow = dock.waitForWindow("Alpha");
  const xcb_window_t betaWindow = dock.waitForWindow("Beta");
  ASSERT_NE(alphaWindow, XCB_WINDOW_NONE);
  ASSERT_NE(betaWindow, XCB_WINDOW_NONE);

  // The tile lookup checks the panel's width against the row at twice the points.
  const std::string alphaTile = "running:org.quayline.Alpha";
  const auto centre = dock.tileCentre(alphaTile);
  ASSERT_TRUE(centre) << dock.dockFrame() << "\n" << dock.logText();
  const WindowFrame panel = dock.dockFrame();
  EXPECT_EQ(panel.height, 2 * kDockHeight);
  EXPECT_EQ(panel.bottom(), XServer::kHeight);
  EXPECT_EQ(panel.x + panel.width / 2, XServer::kWidth / 2);
  const xcb_window_t largeWindow = dock.waitForWindow("Large");
  EXPECT_TRUE(waitUntil([&] { return dock.outerFrame(largeWindow).bottom() == panel.y - 2 * 4; }))
      << "window " << dock.outerFrame(largeWindow) << ", dock " << panel;
  EXPECT_EQ(dock.clientFrame(largeWindow).width, 1240);

  dock.sendToRoot(betaWindow, "_NET_ACTIVE_WINDOW", 2, XCB_CURRENT_TIME);
  ASSERT_TRUE(waitUntil([&] { return dock.activeWindow() == betaWindow; }));
  ASSERT_TRUE(dock.click(alphaTile));
  EXPECT_TRUE(waitUntil([&] { return dock.activeWindow() == alphaWindow; }))
      << "active: " << dock.activeWindow() << "\n"
      << dock.logText();

  ASSERT_TRUE(dock.click(alphaTile, Button::secondary));
  ASSERT_TRUE(waitUntil([&] { return dock.popupWindows().size() == 1; })) << dock.logText();
  const WindowFrame menu = dock.clientFrame(dock.popupWindows().front());
  const int tile = 2 * 64;
  const int tileTop = panel.bottom() - 2 * (5 + 7) - tile;  // the gap below the row, its margin
  EXPECT_LE(menu.bottom(), tileTop) << "menu " << menu << ", dock " << panel;
  EXPECT_GT(menu.bottom(), tileTop - 2 * 20) << "menu " << menu << ", dock " << panel;
  EXPECT_LT(menu.x, centre->first + tile / 2) << "menu " << menu;
  EXPECT_GT(menu.x + menu.width, centre->first - tile / 2) << "menu " << menu;
}

INSTANTIATE_TEST_SUITE_P(
    Sources, DockAtScaleTwo,
    testing::Values(ScaleSource{"QtScaleFactor", {{"QT_SCALE_FACTOR", "2"}}, nullptr},
                    ScaleSource{"XftDpi", {}, "Xft.dpi:\t192\n"}),
    [](const testing::TestParamInfo<ScaleSource>& source) { return source.param.name; });

}  // namespace
}  // namespace quayline::x11test
