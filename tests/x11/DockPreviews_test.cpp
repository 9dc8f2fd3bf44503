// Resting the pointer on a tile of the real dock shows its windows' previews above it: one card
// per window with that window's own image, the focus left where it was; a card click brings its
// window forward, and the preview goes on leaving, Escape or a click elsewhere.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <set>

#include "support/RunningDock.h"
#include "support/X11Environment.h"

namespace quayline::x11test {
namespace {

constexpr int kPadding = 10;
constexpr int kCardStep = 216 + 8;
constexpr int kThumbnailCentreX = 8 + 100;
constexpr int kThumbnailCentreY = 8 + 62;

TEST(DockPreviews, RestingOnATileShowsItsWindowsAndACardBringsOneForward) {
  const InstalledEntry entry("org.quayline.Shade.desktop",
                             clientEntry("Shade", "--class shade,Shade", "Shade"));
  // Three windows of one application in three colours; the second is covered by the third.
  TestClient red({"--title", "Red", "--class", "shade,Shade", "--colour", "cc2020", "--size",
                  "400x300", "--pos", "40,40"});
  TestClient green({"--title", "Green", "--class", "shade,Shade", "--colour", "20cc20", "--size",
                    "400x300", "--pos", "500,40"});
  TestClient blue({"--title", "Blue", "--class", "shade,Shade", "--colour", "2020cc", "--size",
                   "400x300", "--pos", "520,60"});
  TestClient other({"--title", "Other"});
  RunningDock dock({.pinned = std::vector<PinnedItem>{},
                    .trailing = std::vector<PinnedItem>{},
                    .settings = {{"windowPreviewsEnabled", PropertyValue(true)}}});
  ASSERT_TRUE(dock.started()) << dock.logText();
  ASSERT_TRUE(waitUntil([&] { return dock.clientWindows("Other").size() == 1; }));
  const xcb_window_t otherWindow = dock.clientWindows("Other").front();
  dock.sendToRoot(otherWindow, "_NET_ACTIVE_WINDOW", 2, XCB_CURRENT_TIME);
  ASSERT_TRUE(waitUntil([&] { return dock.activeWindow() == otherWindow; }));
  const auto centre = dock.tileCentre("running:org.quayline.Shade");
  ASSERT_TRUE(centre) << dock.logText();

  dock.movePointer(centre->first, centre->second);
  const auto preview = dock.waitForPopup();
  ASSERT_TRUE(preview) << dock.logText();
  // Centred above the tile, with room between them for the tile to grow into.
  const WindowFrame panel = dock.dockFrame();
  EXPECT_LE(preview->bottom(), panel.y) << *preview << ", dock " << panel;
  EXPECT_GE(preview->bottom(), panel.y - 120) << *preview << ", dock " << panel;
  EXPECT_NEAR(preview->x + preview->width / 2.0, centre->first, 1.0) << *preview;
  EXPECT_EQ(preview->width, 3 * 216 + 2 * 8 + 2 * kPadding) << *preview;
  EXPECT_EQ(dock.activeWindow(), otherWindow);
  // Each card shows its own window, the covered one too.
  const auto cardCentre = [&](int card) {
    return std::pair{preview->x + kPadding + card * kCardStep + kThumbnailCentreX,
                     preview->y + kPadding + kThumbnailCentreY};
  };
  const auto shown = [&] {
    std::set<std::uint32_t> colours;
    for (int card = 0; card < 3; ++card) {
      const auto [x, y] = cardCentre(card);
      colours.insert(dock.pixel(x, y).value_or(0));
    }
    return colours;
  };
  EXPECT_TRUE(waitUntil([&] {
    return shown() == std::set<std::uint32_t>{0xcc2020, 0x20cc20, 0x2020cc};
  })) << dock.logText();

  // A click on the green card brings the covered green window forward.
  const xcb_window_t greenWindow = dock.clientWindows("Green").front();
  for (int card = 0; card < 3; ++card) {
    const auto [x, y] = cardCentre(card);
    if (dock.pixel(x, y) == 0x20cc20) {
      dock.clickAt(x, y);
      break;
    }
  }
  EXPECT_TRUE(waitUntil([&] { return dock.activeWindow() == greenWindow; }));
  EXPECT_TRUE(waitUntil([&] { return dock.popupWindows().empty(); }));

  // Leaving the tile closes the preview after a moment; so do Escape and a click elsewhere.
  const auto reopen = [&] {
    dock.movePointer(centre->first + 1, centre->second);
    dock.movePointer(centre->first, centre->second);
    return dock.waitForPopup().has_value();
  };
  dock.movePointer(10, 10);
  ASSERT_TRUE(reopen());
  dock.movePointer(10, 10);
  EXPECT_TRUE(waitUntil([&] { return dock.popupWindows().empty(); }));
  ASSERT_TRUE(reopen());
  dock.pressKey(XK_Escape);
  EXPECT_TRUE(waitUntil([&] { return dock.popupWindows().empty(); }));
  dock.movePointer(10, 10);
  ASSERT_TRUE(reopen());
  dock.clickAt(10, 10);
  EXPECT_TRUE(waitUntil([&] { return dock.popupWindows().empty(); }));
  EXPECT_TRUE(dock.runs());
}

}  // namespace
}  // namespace quayline::x11test
