#include <gtest/gtest.h>
#include <unistd.h>
#include <xcb/xtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <array>

#include "foundation/Fnv.h"
#include "platform/linux/x11/QtDisplays.h"
#include "platform/linux/x11/SharedPixelSpace.h"
#include "support/Desktop.h"
#include "support/X11Environment.h"

namespace quayline::x11test {
namespace {

TEST(QtDisplays, DescribesXvfbsScreenInTheBottomLeftSpace) {
  Desktop desktop;
  x11::SharedPixelSpace published;
  QtDisplays displays(*desktop.connection, &published);
  const auto screens = displays.screens();
  ASSERT_EQ(screens.size(), 1u);
  const Rect whole(0, 0, XServer::kWidth, XServer::kHeight);
  EXPECT_EQ(screens[0].frame, whole);
  EXPECT_EQ(screens[0].backingScaleFactor, 1.0);
  EXPECT_EQ(screens[0].displayNumber,
            fnv1a32(QGuiApplication::primaryScreen()->name().toStdString()));
  EXPECT_TRUE(screens[0].visibleFrame.width() > 0 && screens[0].visibleFrame.height() > 0);
  EXPECT_EQ(screens[0].visibleFrame.intersection(whole), screens[0].visibleFrame);
  EXPECT_EQ(displays.mainScreen(), screens[0]);
  EXPECT_EQ(displays.displayBounds(screens[0].displayNumber), whole);
  EXPECT_FALSE(displays.displayBounds(screens[0].displayNumber + 1));
  const x11::PixelSpace unscaled{{{whole, 1}}};
  EXPECT_EQ(displays.pixelSpace(), unscaled);
  EXPECT_EQ(published.get(), unscaled);
}

// A dock-type window of the test process itself (which is "our own" to the adapter) reserving
// `bottom` pixels along the bottom edge.
xcb_window_t ownPanel(Probe& probe, std::uint32_t bottom) {
  xcb_connection_t* c = probe.connection();
  const xcb_window_t window = xcb_generate_id(c);
  xcb_create_window(c, XCB_COPY_FROM_PARENT, window, probe.root(), 0,
                    static_cast<std::int16_t>(XServer::kHeight - bottom), XServer::kWidth,
                    static_cast<std::uint16_t>(bottom), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                    XCB_COPY_FROM_PARENT, 0, nullptr);
  const std::uint32_t pid = static_cast<std::uint32_t>(::getpid());
  const xcb_atom_t dock = probe.atom("_NET_WM_WINDOW_TYPE_DOCK");
  const std::array<std::uint32_t, 12> strut{0, 0, 0, bottom, 0, 0,
                                            0, 0, 0, 0,      0, XServer::kWidth - 1};
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, probe.atom("_NET_WM_PID"),
                      XCB_ATOM_CARDINAL, 32, 1, &pid);
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, probe.atom("_NET_WM_WINDOW_TYPE"),
                      XCB_ATOM_ATOM, 32, 1, &dock);
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, probe.atom("_NET_WM_STRUT_PARTIAL"),
                      XCB_ATOM_CARDINAL, 32, 12, strut.data());
  xcb_map_window(c, window);
  probe.sync();
  return window;
}

TEST(QtDisplays, VisibleFramesLeaveOutOtherProgramsPanelsAndFollowThem) {
  Desktop desktop;
  QtDisplays displays(*desktop.connection);
  int changes = 0;
  const Subscription observing = displays.observeScreenChanges([&] { ++changes; });
  const auto visible = [&] { return displays.screens().front().visibleFrame; };
  const auto above = [](double panel) {
    return Rect(0, panel, XServer::kWidth, XServer::kHeight - panel);
  };
  Probe probe;
  // Ours reserves more than the other panel will: if it counted, the frame would show it.
  const xcb_window_t ours = ownPanel(probe, 50);
  ASSERT_TRUE(waitUntil([&] {
    const auto clients = probe.clientList();
    return std::find(clients.begin(), clients.end(), ours) != clients.end();
  }));

  TestClient panel({"--title", "Panel", "--type", "dock", "--size",
                    std::to_string(XServer::kWidth) + "x40", "--pos",
                    "0," + std::to_string(XServer::kHeight - 40), "--strut", "0,0,0,40"});
  EXPECT_TRUE(waitUntil([&] { return visible() == above(40); })) << visible();
  EXPECT_GT(changes, 0);

  // A panel that grows while it runs, as a taskbar does when its text grows.
  xcb_window_t other = XCB_WINDOW_NONE;
  for (const xcb_window_t window : probe.clientList()) {
    const auto pid = probe.cardinals(window, "_NET_WM_PID");
    if (!pid.empty() && static_cast<pid_t>(pid.front()) == panel.pid()) {
      other = window;
    }
  }
  ASSERT_NE(other, XCB_WINDOW_NONE);
  const std::array<std::uint32_t, 12> taller{0, 0, 0, 60, 0, 0, 0, 0, 0, 0, 0, XServer::kWidth - 1};
  xcb_change_property(probe.connection(), XCB_PROP_MODE_REPLACE, other,
                      probe.atom("_NET_WM_STRUT_PARTIAL"), XCB_ATOM_CARDINAL, 32, 12,
                      taller.data());
  probe.sync();
  EXPECT_TRUE(waitUntil([&] { return visible() == above(60); })) << visible();

  // Gone: the whole screen again, our own panel still not counting.
  panel.stop();
  EXPECT_TRUE(waitUntil([&] { return visible() == Rect(0, 0, XServer::kWidth, XServer::kHeight); }))
      << visible();
  xcb_destroy_window(probe.connection(), ours);
}

TEST(QtDisplays, PointerIsReportedInTheBottomLeftSpaceWithItsButtons) {
  Desktop desktop;
  QtDisplays displays(*desktop.connection);
  Probe probe;
  xcb_warp_pointer(probe.connection(), XCB_WINDOW_NONE, probe.root(), 0, 0, 0, 0, 100, 150);
  probe.sync();
  EXPECT_TRUE(waitUntil([&] {
    return displays.pointerLocation() == Point{100, XServer::kHeight - 150.0};
  }));

  EXPECT_EQ(displays.pressedMouseButtons(), 0u);
  xcb_test_fake_input(probe.connection(), XCB_BUTTON_PRESS, 3, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0,
                      0, 0);
  probe.sync();
  EXPECT_EQ(displays.pressedMouseButtons(), 1u << 1);
  xcb_test_fake_input(probe.connection(), XCB_BUTTON_RELEASE, 3, XCB_CURRENT_TIME, XCB_WINDOW_NONE,
                      0, 0, 0);
  probe.sync();
  EXPECT_EQ(displays.pressedMouseButtons(), 0u);
}

}  // namespace
}  // namespace quayline::x11test
