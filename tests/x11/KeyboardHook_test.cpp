#include <gtest/gtest.h>
#include <xcb/xtest.h>

#include <QCoreApplication>

#include "fakes/FakeSystemLog.h"
#include "platform/linux/x11/X11KeyboardHook.h"
#include "platform/linux/x11/XConnection.h"
#include "support/Desktop.h"
#include "support/X11Environment.h"

namespace quayline::x11test {
namespace {

using Event = GlobalKeyboardHook::Event;
using Type = GlobalKeyboardHook::EventType;

// The switcher's part, played by the test: a session from the modifier with Tab to the
// modifier's release.
class KeyboardHookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(connection, nullptr);
    tap = hook.create(ModifierFlag::option, [this](const Event& event) {
      events.push_back(event);
      if (event.type == Type::keyDown && event.keyCode == VirtualKey::tab) {
        tap->setSessionActive(true);
        return true;
      }
      if (event.type == Type::flagsChanged && (event.flags & ModifierFlag::option) == 0) {
        tap->setSessionActive(false);
        ++sessions;
      }
      return false;
    });
    ASSERT_NE(tap, nullptr);
  }

  void key(std::uint8_t type, std::uint32_t keysym) {
    xcb_test_fake_input(probe.connection(), type, probe.keycode(keysym), XCB_CURRENT_TIME,
                        XCB_WINDOW_NONE, 0, 0, 0);
  }

  bool waitForSessions(int count) {
    xcb_flush(probe.connection());
    return waitUntil([&] {
      QCoreApplication::processEvents();
      return sessions >= count;
    });
  }

  static constexpr std::uint32_t kAlt = 0xffe9;
  static constexpr std::uint32_t kTab = 0xff09;
  FakeSystemLog log;
  std::unique_ptr<x11::XConnection> connection = x11::XConnection::open(log);
  x11::X11KeyboardHook hook{*connection, log};
  std::unique_ptr<GlobalKeyboardHook::Tap> tap;
  std::vector<Event> events;
  int sessions = 0;
  Probe probe;
};

TEST_F(KeyboardHookTest, TheShortcutIsHeldWithEveryLockAndASessionEndsOnTheModifiersRelease) {
  // Every mix of Shift, Control, CapsLock and NumLock with Alt+Tab is ours: another client's
  // grab of any of them is refused.
  const std::uint8_t tab = probe.keycode(kTab);
  for (std::uint16_t mix = 0; mix < 16; ++mix) {
    const std::uint16_t modifiers = XCB_MOD_MASK_1 | ((mix & 1) ? XCB_MOD_MASK_SHIFT : 0) |
                                    ((mix & 2) ? XCB_MOD_MASK_CONTROL : 0) |
                                    ((mix & 4) ? XCB_MOD_MASK_LOCK : 0) |
                                    ((mix & 8) ? XCB_MOD_MASK_2 : 0);
    xcb_generic_error_t* error = xcb_request_check(
        probe.connection(), xcb_grab_key_checked(probe.connection(), 0, probe.root(), modifiers,
                                                 tab, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    ASSERT_NE(error, nullptr) << "modifiers " << modifiers;
    EXPECT_EQ(error->error_code, XCB_ACCESS);
    std::free(error);
  }

  // Alt released before the dock has even seen Tab: the release still ends the session.
  key(XCB_KEY_PRESS, kAlt);
  key(XCB_KEY_PRESS, kTab);
  key(XCB_KEY_RELEASE, kTab);
  key(XCB_KEY_RELEASE, kAlt);
  ASSERT_TRUE(waitForSessions(1));
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.front(), (Event{Type::keyDown, VirtualKey::tab, ModifierFlag::option}));

  // Once the session is over the keyboard is everyone's again: a plain Tab reaches the window
  // that has the focus.
  xcb_connection_t* c = probe.connection();
  const xcb_window_t window = xcb_generate_id(c);
  // Unmanaged, so that it is viewable, and can take the focus, as soon as it is mapped.
  const std::uint32_t values[] = {1, XCB_EVENT_MASK_KEY_PRESS};
  xcb_create_window(c, XCB_COPY_FROM_PARENT, window, probe.root(), 0, 0, 100, 100, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                    XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
  xcb_map_window(c, window);
  probe.sync();
  xcb_set_input_focus(c, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
  key(XCB_KEY_PRESS, kTab);
  key(XCB_KEY_RELEASE, kTab);
  xcb_flush(c);
  bool reached = false;
  EXPECT_TRUE(waitUntil([&] {
    QCoreApplication::processEvents();
    while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
      reached |= (event->response_type & 0x7f) == XCB_KEY_PRESS;
      std::free(event);
    }
    return reached;
  }));
  EXPECT_EQ(sessions, 1);
}

}  // namespace
}  // namespace quayline::x11test
