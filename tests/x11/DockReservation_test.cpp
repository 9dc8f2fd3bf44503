// Maximized windows and the real dock on a real window manager: windows shrunk to end above the
// dock, or the dock ordered out while such a window is on screen.
#include <gtest/gtest.h>

#include "support/RunningDock.h"
#include "support/X11Environment.h"

namespace quayline::x11test {
namespace {

// Between the bottom of a shrunk window's frame and the top of the dock.
constexpr int kGap = 4;

// What a user's click on the title bar's maximize button asks of the window manager.
void setMaximized(RunningDock& dock, xcb_window_t window, bool maximized) {
  dock.sendToRoot(window, "_NET_WM_STATE", maximized ? 1 : 0,
                  dock.atom("_NET_WM_STATE_MAXIMIZED_VERT"),
                  dock.atom("_NET_WM_STATE_MAXIMIZED_HORZ"), 2);
}

RunningDock::Setup withBehavior(const char* behavior) {
  RunningDock::Setup setup;
  setup.pinned = std::vector<PinnedItem>{};
  setup.trailing = std::vector<PinnedItem>{};
  setup.settings.emplace("maximizedWindowBehavior", PropertyValue(behavior));
  setup.settings.emplace("autohide", PropertyValue(false));
  return setup;
}

// Covering most of the screen is what counts, not how the window got there.
TEST(DockReservation, ResizeWindowShrinksAWindowCoveringTheScreenToEndAboveTheDock) {
  TestClient small({"--title", "Small", "--size", "320x200", "--pos", "100,560"});
  TestClient large({"--title", "Large", "--size", "1240x770", "--pos", "10,0"});
  RunningDock dock(withBehavior("resizeWindow"));
  ASSERT_TRUE(dock.started()) << dock.logText();
  const xcb_window_t smallWindow = dock.waitForWindow("Small");
  const xcb_window_t largeWindow = dock.waitForWindow("Large");
  ASSERT_NE(smallWindow, XCB_WINDOW_NONE);
  ASSERT_NE(largeWindow, XCB_WINDOW_NONE);
  const int dockTop = dock.dockFrame().y;
  EXPECT_TRUE(waitUntil([&] { return dock.outerFrame(largeWindow).bottom() == dockTop - kGap; }))
      << "window " << dock.outerFrame(largeWindow) << ", dock " << dock.dockFrame();
  const WindowFrame shrunk = dock.outerFrame(largeWindow);
  // Only the height changes.
  EXPECT_EQ(shrunk.x, 10) << shrunk;
  EXPECT_EQ(shrunk.y, 0) << shrunk;
  EXPECT_EQ(dock.clientFrame(largeWindow).width, 1240) << shrunk;
  EXPECT_TRUE(dock.dockFrame().viewable);
  // A window far smaller than the screen keeps its place and size, even where it reaches under
  // the dock. (The dock may act before the test first looks: compare with what was asked for.)
  const WindowFrame kept = dock.outerFrame(smallWindow);
  EXPECT_EQ(kept.x, 100) << kept;
  EXPECT_EQ(kept.y, 560) << kept;
  EXPECT_EQ(dock.clientFrame(smallWindow).height, 200) << dock.clientFrame(smallWindow);
}

TEST(DockReservation, HideDockOrdersTheDockOutWhileAMaximizedWindowIsOnScreen) {
  TestClient wide({"--title", "Wide"});
  RunningDock dock(withBehavior("hideDock"));
  ASSERT_TRUE(dock.started()) << dock.logText();
  const xcb_window_t window = dock.waitForWindow("Wide");
  ASSERT_NE(window, XCB_WINDOW_NONE);
  ASSERT_TRUE(dock.dockFrame().viewable);
  const auto hidden = [&] { return !dock.dockFrame().viewable; };
  const auto shown = [&] { return dock.dockFrame().viewable; };

  setMaximized(dock, window, true);
  ASSERT_TRUE(waitUntil(hidden)) << "window " << dock.outerFrame(window) << "\n" << dock.logText();
  EXPECT_TRUE(dock.dockFrame().exists);

  setMaximized(dock, window, false);
  EXPECT_TRUE(waitUntil(shown)) << "window " << dock.outerFrame(window);

  // A minimized window is not on screen, so it does not keep the dock out.
  setMaximized(dock, window, true);
  ASSERT_TRUE(waitUntil(hidden));
  dock.sendToRoot(window, "WM_CHANGE_STATE", 3);  // IconicState
  EXPECT_TRUE(waitUntil(shown));
  dock.sendToRoot(window, "_NET_ACTIVE_WINDOW", 2, XCB_CURRENT_TIME);
  EXPECT_TRUE(waitUntil(hidden));

  // Closed: the dock comes back.
  dock.sendToRoot(window, "_NET_CLOSE_WINDOW", XCB_CURRENT_TIME, 2);
  ASSERT_TRUE(waitUntil([&] { return !wide.runs(); }));
  EXPECT_TRUE(waitUntil(shown)) << dock.dockFrame();
  EXPECT_TRUE(dock.runs());
}

// The window list the dock finds at launch counts as much as the changes that follow.
TEST(DockReservation, AWindowMaximizedBeforeTheDockStartsCountsToo) {
  TestClient wide({"--title", "Wide"});
  xcb_window_t window = XCB_WINDOW_NONE;
  {
    // A dock that leaves maximized windows alone, only to reach the display with.
    RunningDock first(withBehavior("ignore"));
    ASSERT_TRUE(first.started()) << first.logText();
    window = first.waitForWindow("Wide");
    ASSERT_NE(window, XCB_WINDOW_NONE);
    setMaximized(first, window, true);
    ASSERT_TRUE(waitUntil([&] {
      const WindowFrame frame = first.outerFrame(window);
      return frame.width == XServer::kWidth && frame.height == XServer::kHeight;
    })) << first.outerFrame(window);
  }

  {
    auto setup = withBehavior("hideDock");
    setup.waitUntilShown = false;
    RunningDock dock(setup);
    ASSERT_TRUE(dock.started()) << dock.logText();
    EXPECT_TRUE(waitUntil([&] { return !dock.dockFrame().viewable; })) << dock.dockFrame();
    setMaximized(dock, window, false);
    EXPECT_TRUE(waitUntil([&] { return dock.dockFrame().viewable; }))
        << dock.dockFrame() << ", window " << dock.outerFrame(window) << "\n"
        << dock.logText();
    setMaximized(dock, window, true);
    EXPECT_TRUE(waitUntil([&] { return !dock.dockFrame().viewable; })) << dock.dockFrame();
  }

  RunningDock dock(withBehavior("resizeWindow"));
  ASSERT_TRUE(dock.started()) << dock.logText();
  EXPECT_TRUE(waitUntil([&] {
    return dock.outerFrame(window).bottom() == dock.dockFrame().y - kGap;
  })) << "window "
      << dock.outerFrame(window) << ", dock " << dock.dockFrame();
}

}  // namespace
}  // namespace quayline::x11test
