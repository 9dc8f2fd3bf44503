// The keyboard switcher of the real dock: Alt+Tab shows a panel of the windows centred on the
// screen, and releasing Alt brings the chosen one forward, most recently used first.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <map>

#include "support/RunningDock.h"
#include "support/X11Environment.h"

namespace quayline::x11test {
namespace {

TEST(DockSwitcher, AltTabGoesBackThroughTheWindowsMostRecentFirst) {
  TestClient a({"--title", "Alpha", "--class", "alpha,Alpha", "--pos", "40,40"});
  TestClient b({"--title", "Bravo", "--class", "bravo,Bravo", "--pos", "300,80"});
  TestClient c({"--title", "Charlie", "--class", "charlie,Charlie", "--pos", "560,120"});
  RunningDock dock({.pinned = std::vector<PinnedItem>{}, .trailing = std::vector<PinnedItem>{}});
  ASSERT_TRUE(dock.started()) << dock.logText();
  std::map<std::string, xcb_window_t> windows;
  for (const char* title : {"Alpha", "Bravo", "Charlie"}) {
    windows[title] = dock.waitForWindow(title);
    ASSERT_NE(windows[title], XCB_WINDOW_NONE) << title;
  }
  // The user works in Alpha, then Bravo, then Charlie.
  const auto activate = [&](const char* title) {
    dock.sendToRoot(windows[title], "_NET_ACTIVE_WINDOW", 2, XCB_CURRENT_TIME);
    ASSERT_TRUE(waitUntil([&] { return dock.activeWindow() == windows[title]; })) << title;
    // The dock reads which window has the focus a moment after an application comes forward.
    waitUntil([] { return false; }, std::chrono::milliseconds(400));
  };
  for (const char* title : {"Alpha", "Bravo", "Charlie"}) {
    activate(title);
  }
  // Alt held, Tab `tabs` times, then `last` (Alt itself, or Escape first).
  const auto switchWith = [&](int tabs, std::uint32_t last = XK_Alt_L) {
    dock.key(XK_Alt_L, true);
    for (int i = 0; i < tabs; ++i) {
      dock.pressKey(XK_Tab);
    }
    if (last != XK_Alt_L) {
      dock.pressKey(last);
    }
    dock.key(XK_Alt_L, false);
  };
  const auto becomesActive = [&](const char* title) {
    return waitUntil([&] { return dock.activeWindow() == windows[title]; });
  };

  dock.key(XK_Alt_L, true);
  dock.pressKey(XK_Tab);
  std::optional<WindowFrame> panel;
  ASSERT_TRUE(waitUntil([&] {
    const auto popups = dock.popupWindows();
    panel = popups.size() == 1 ? std::optional(dock.clientFrame(popups.front())) : std::nullopt;
    return panel.has_value();
  })) << dock.logText();
  // Centred on the screen, like the dock, with a card for each of the windows.
  const WindowFrame dockPanel = dock.dockFrame();
  EXPECT_NEAR(panel->x + panel->width / 2.0, dockPanel.x + dockPanel.width / 2.0, 1.0)
      << *panel << ", dock " << dockPanel;
  EXPECT_EQ(panel->width, 2 * 20 + 3 * 208 + 2 * 10) << *panel;
  EXPECT_EQ(dock.activeWindow(), windows["Charlie"]);  // the panel takes no focus
  dock.key(XK_Alt_L, false);
  EXPECT_TRUE(becomesActive("Bravo")) << dock.logText();
  EXPECT_TRUE(waitUntil([&] { return dock.popupWindows().empty(); }));

  switchWith(2);  // Bravo, Charlie, Alpha: two back
  EXPECT_TRUE(becomesActive("Alpha"));
  switchWith(1, XK_Escape);
  waitUntil([] { return false; }, std::chrono::milliseconds(300));
  EXPECT_EQ(dock.activeWindow(), windows["Alpha"]);

  // A minimized window comes back.
  dock.sendToRoot(windows["Charlie"], "WM_CHANGE_STATE", 3);
  ASSERT_TRUE(waitUntil([&] { return !dock.clientFrame(windows["Charlie"]).viewable; }));
  switchWith(2);  // Alpha, Bravo, Charlie
  EXPECT_TRUE(becomesActive("Charlie")) << dock.logText();
  EXPECT_TRUE(waitUntil([&] { return dock.clientFrame(windows["Charlie"]).viewable; }));
}

}  // namespace
}  // namespace quayline::x11test
