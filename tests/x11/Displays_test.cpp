#include <gtest/gtest.h>
#include <xcb/xtest.h>

#include <QGuiApplication>
#include <QScreen>

#include "foundation/Fnv.h"
#include "platform/linux/x11/QtDisplays.h"
#include "support/Desktop.h"
#include "support/X11Environment.h"

namespace quayline::x11test {
namespace {

TEST(QtDisplays, DescribesXvfbsScreenInTheBottomLeftSpace) {
  Desktop desktop;
  QtDisplays displays(*desktop.connection);
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
  EXPECT_EQ(displays.primaryOrigin(), (Point{0, 0}));
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
