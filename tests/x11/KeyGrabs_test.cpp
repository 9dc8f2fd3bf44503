// Keys taken on the root window for as long as they are wanted, whatever lock keys are on, and
// refused cleanly when another client holds them.
#include "platform/linux/x11/KeyGrabs.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <xcb/xtest.h>

#include <QCoreApplication>

#include "fakes/FakeSystemLog.h"
#include "platform/linux/x11/RootKeyInterception.h"
#include "support/Desktop.h"
#include "support/X11Environment.h"

namespace quayline::x11test {
namespace {

class KeyGrabsTest : public ::testing::Test {
 protected:
  void press(std::uint32_t keysym) {
    const std::uint8_t key = probe.keycode(keysym);
    ASSERT_NE(key, 0);
    xcb_test_fake_input(probe.connection(), XCB_KEY_PRESS, key, XCB_CURRENT_TIME, XCB_WINDOW_NONE,
                        0, 0, 0);
    xcb_test_fake_input(probe.connection(), XCB_KEY_RELEASE, key, XCB_CURRENT_TIME, XCB_WINDOW_NONE,
                        0, 0, 0);
    probe.sync();
  }
  // Whether the probe could take the bare key itself (it lets go at once).
  bool probeCanGrab(std::uint32_t keysym) {
    const auto cookie =
        xcb_grab_key_checked(probe.connection(), 1, probe.root(), 0, probe.keycode(keysym),
                             XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    xcb_generic_error_t* error = xcb_request_check(probe.connection(), cookie);
    std::free(error);
    xcb_ungrab_key(probe.connection(), probe.keycode(keysym), probe.root(), 0);
    probe.sync();
    return error == nullptr;
  }

  std::string logged() const {
    std::string text;
    for (const auto& line : log.lines) {
      text += line.category + ": " + line.message + "\n";
    }
    return text;
  }

  FakeSystemLog log;
  std::unique_ptr<x11::XConnection> connection = x11::XConnection::open(log);
  Probe probe;
};

TEST_F(KeyGrabsTest, EscapeIsTakenWithAnyLockOnAndOnlyWhileWanted) {
  ASSERT_NE(connection, nullptr);
  x11::RootKeyInterception keys(*connection, log);
  int escapes = 0;
  {
    auto held = keys.interceptEscape([&] { ++escapes; });
    ASSERT_TRUE(held.active()) << logged();
    EXPECT_FALSE(probeCanGrab(XK_Escape));
    press(XK_Escape);
    EXPECT_TRUE(waitUntil([&] { return escapes == 1; }));
    for (const std::uint32_t lock : {XK_Caps_Lock, XK_Num_Lock}) {
      press(lock);
      press(XK_Escape);
      press(lock);
    }
    EXPECT_TRUE(waitUntil([&] { return escapes == 3; }));
  }
  EXPECT_TRUE(probeCanGrab(XK_Escape));
}

TEST_F(KeyGrabsTest, AKeyAnotherClientHoldsIsRefused) {
  ASSERT_NE(connection, nullptr);
  const std::uint8_t escape = probe.keycode(XK_Escape);
  xcb_grab_key(probe.connection(), 1, probe.root(), 0, escape, XCB_GRAB_MODE_ASYNC,
               XCB_GRAB_MODE_ASYNC);
  probe.sync();
  EXPECT_FALSE(x11::KeyGrab(*connection, escape, 0).held());
  x11::RootKeyInterception keys(*connection, log);
  EXPECT_FALSE(keys.interceptEscape([] {}).active());
  EXPECT_NE(logged().find("Escape"), std::string::npos) << logged();
  // Nothing of the refused attempt stays behind once the other client lets go.
  xcb_ungrab_key(probe.connection(), escape, probe.root(), 0);
  probe.sync();
  EXPECT_TRUE(probeCanGrab(XK_Escape));
}

}  // namespace
}  // namespace quayline::x11test
