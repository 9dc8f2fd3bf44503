#include "platform/linux/x11/RawPointerMotion.h"

#include <gtest/gtest.h>
#include <xcb/xinput.h>
#include <xcb/xtest.h>

#include <QCoreApplication>

#include "fakes/FakeSystemLog.h"
#include "platform/linux/QtScheduler.h"
#include "support/Desktop.h"
#include "support/X11Environment.h"

namespace quayline::x11test {
namespace {

class RawPointerMotionTest : public ::testing::Test {
 protected:
  // Relative motion through XTest, as a real device would move the pointer.
  void nudge(int times = 1) {
    for (int i = 0; i < times; ++i) {
      xcb_test_fake_input(probe.connection(), XCB_MOTION_NOTIFY, 1, XCB_CURRENT_TIME,
                          XCB_WINDOW_NONE, 3, 2, 0);
    }
    probe.sync();
  }
  // Reads everything the server sent before now and delivers it: after a round trip on the
  // adapter's connection, no event caused earlier can still be on its way.
  void settle() {
    ASSERT_TRUE(connection->sync(std::chrono::steady_clock::now() + std::chrono::seconds(5)));
    for (int i = 0; i < 3; ++i) {
      QCoreApplication::processEvents();
    }
  }

  FakeSystemLog log;
  QtScheduler scheduler;
  std::unique_ptr<x11::XConnection> connection = x11::XConnection::open(log);
  Probe probe;
};

TEST_F(RawPointerMotionTest, RealMotionIsReportedOncePerBatchAndWarpsAreNot) {
  ASSERT_NE(connection, nullptr);
  x11::RawPointerMotion motion(*connection, scheduler, log);
  int moves = 0;
  auto watching = motion.observeMotion([&] { ++moves; });
  ASSERT_TRUE(watching.active());
  // The selection travels on another connection than the test's input: let it arrive first.
  settle();

  xcb_warp_pointer(probe.connection(), XCB_WINDOW_NONE, probe.root(), 0, 0, 0, 0, 200, 300);
  probe.sync();
  settle();
  EXPECT_EQ(moves, 0);

  nudge();
  EXPECT_TRUE(waitUntil([&] { return moves == 1; }));

  // Five motions already read together reach the observers as one.
  nudge(5);
  settle();
  EXPECT_EQ(moves, 2);
  EXPECT_TRUE(log.messagesIn("x11").empty());
}

TEST_F(RawPointerMotionTest, TheSelectionLastsOnlyWhileSomeoneObserves) {
  ASSERT_NE(connection, nullptr);
  // Counts what the server sends, whether or not the adapter passes it on.
  int rawEvents = 0;
  auto counting = connection->listen([&](const xcb_generic_event_t& event) {
    if ((event.response_type & ~0x80) == XCB_GE_GENERIC &&
        reinterpret_cast<const xcb_ge_generic_event_t&>(event).event_type == XCB_INPUT_RAW_MOTION) {
      ++rawEvents;
    }
  });
  x11::RawPointerMotion motion(*connection, scheduler, log);
  int first = 0;
  int second = 0;
  auto firstWatch = motion.observeMotion([&] { ++first; });
  auto secondWatch = motion.observeMotion([&] { ++second; });
  settle();  // the selection reaches the server before the motion does
  nudge();
  ASSERT_TRUE(waitUntil([&] { return first == 1 && second == 1; }));

  firstWatch.reset();
  nudge();
  ASSERT_TRUE(waitUntil([&] { return second == 2; }));
  EXPECT_EQ(first, 1);

  secondWatch.reset();
  settle();
  const int before = rawEvents;
  nudge(3);
  settle();
  EXPECT_EQ(rawEvents, before);
  EXPECT_EQ(second, 2);

  // Watching again selects again.
  auto again = motion.observeMotion([&] { ++first; });
  settle();
  nudge();
  EXPECT_TRUE(waitUntil([&] { return first == 2; }));
}

// Presses are watched while something floats above the desktop, to close it on a click
// elsewhere or Escape; watching them must not take away the motion others watch.
TEST_F(RawPointerMotionTest, ButtonPressesAndEscapeAreReportedWithoutDisturbingMotion) {
  ASSERT_NE(connection, nullptr);
  x11::RawPointerMotion motion(*connection, scheduler, log);
  int moves = 0;
  std::vector<PointerMotion::Press> presses;
  auto moving = motion.observeMotion([&] { ++moves; });
  auto pressing =
      motion.observePresses([&](PointerMotion::Press press) { presses.push_back(press); });
  ASSERT_TRUE(pressing.active());
  settle();
  const auto key = [&](std::uint8_t type, std::uint8_t code) {
    xcb_test_fake_input(probe.connection(), type, code, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
  };
  const std::uint8_t escape = probe.keycode(0xff1b);
  const std::uint8_t letter = probe.keycode('a');
  ASSERT_NE(escape, 0);
  key(XCB_BUTTON_PRESS, 1);
  key(XCB_BUTTON_RELEASE, 1);
  key(XCB_BUTTON_PRESS, 4);  // a wheel step
  key(XCB_BUTTON_RELEASE, 4);
  key(XCB_KEY_PRESS, letter);
  key(XCB_KEY_RELEASE, letter);
  key(XCB_KEY_PRESS, escape);
  key(XCB_KEY_RELEASE, escape);
  probe.sync();
  ASSERT_TRUE(waitUntil([&] { return presses.size() >= 2; }));
  settle();
  EXPECT_EQ(presses, (std::vector<PointerMotion::Press>{PointerMotion::Press::mouseButton,
                                                        PointerMotion::Press::escape}));

  pressing.reset();
  settle();
  nudge();
  EXPECT_TRUE(waitUntil([&] { return moves >= 1; }));
  key(XCB_BUTTON_PRESS, 1);
  key(XCB_BUTTON_RELEASE, 1);
  probe.sync();
  settle();
  EXPECT_EQ(presses.size(), 2u);
}

}  // namespace
}  // namespace quayline::x11test
