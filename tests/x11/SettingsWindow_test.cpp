#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/FilePreferenceDomains.h"
#include "support/RunningDock.h"
#include "support/X11Environment.h"

namespace quayline::x11test {
namespace {

using Button = RunningDock::Button;

// The pixels of a client window's area as the screen shows them.
std::vector<std::uint8_t> picture(RunningDock& dock, const WindowFrame& frame) {
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(dock.connection())).data;
  const auto cookie = xcb_get_image(
      dock.connection(), XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root,
      static_cast<std::int16_t>(frame.x), static_cast<std::int16_t>(frame.y),
      static_cast<std::uint16_t>(frame.width), static_cast<std::uint16_t>(frame.height), ~0u);
  std::unique_ptr<xcb_get_image_reply_t, decltype(&free)> reply(
      xcb_get_image_reply(dock.connection(), cookie, nullptr), &free);
  if (!reply) {
    return {};
  }
  const std::uint8_t* data = xcb_get_image_data(reply.get());
  return {data, data + xcb_get_image_data_length(reply.get())};
}

// The window's pixels once they stay the same for a quarter of a second; empty when they never
// do.
std::vector<std::uint8_t> settledPicture(RunningDock& dock, const WindowFrame& frame) {
  std::vector<std::uint8_t> last;
  for (int attempt = 0; attempt < 40; ++attempt) {
    auto now = picture(dock, frame);
    if (!now.empty() && now == last) {
      return now;
    }
    last = std::move(now);
    waitUntil([] { return false; }, std::chrono::milliseconds(250));
  }
  return {};
}

std::optional<bool> storedPreviews() {
  FilePreferenceDomains domains(FilePreferenceDomains::defaultDirectory());
  domains.synchronize(PreferenceDomains::application);
  const auto value = domains.copy(PreferenceDomains::application, "quayline.windowPreviewsEnabled");
  return value && value->boolean() ? std::optional(*value->boolean()) : std::nullopt;
}

// From the status menu to a stored setting and back: "Settings…" opens the window at its size,
// a control the user works changes the stored value, and a value another program writes shows
// in the window at once.
TEST(SettingsWindow, OpensFromTheStatusMenuAndFollowsTheStoredSettingsBothWays) {
  RunningDock dock({.pinned = std::vector<PinnedItem>{},
                    .trailing = std::vector<PinnedItem>{},
                    .tileSize = 64,
                    .settings = {{"windowPreviewsEnabled", PropertyValue(false)}}});
  ASSERT_TRUE(dock.started()) << dock.logText();
  // No tray on plain openbox: the status menu opens from the dock's glass, and from the
  // trailing divider, which has no menu of its own.
  ASSERT_TRUE(dock.click("divider:trailing", Button::secondary)) << dock.describeRow();
  ASSERT_TRUE(waitUntil([&] { return dock.popupWindows().size() == 1; })) << dock.logText();
  // Keys sent before the menu holds the keyboard would go elsewhere.
  ASSERT_TRUE(waitUntil([&] { return dock.keyboardTaken(); }));
  // "Settings…" is the third entry from the end: Up from nothing selected starts at the last.
  for (int i = 0; i < 3; ++i) {
    dock.pressKey(XK_Up);
  }
  dock.pressKey(XK_Return);
  const xcb_window_t window = dock.waitForWindow("Settings");
  ASSERT_NE(window, XCB_WINDOW_NONE) << dock.logText();
  const WindowFrame frame = dock.clientFrame(window);
  EXPECT_EQ(frame.width, 780);
  EXPECT_EQ(frame.height, 540);
  EXPECT_EQ(dock.windowPid(window), dock.pid());
  ASSERT_TRUE(waitUntil([&] { return dock.activeWindow() == window; }));

  // The keyboard starts in the sidebar: Down picks Behavior, Tab reaches "Window previews",
  // Space turns it on.
  dock.pressKey(XK_Down);
  dock.pressKey(XK_Tab);
  dock.pressKey(XK_space);
  ASSERT_TRUE(waitUntil([] { return storedPreviews() == true; })) << dock.logText();
  const auto shown = settledPicture(dock, frame);
  ASSERT_FALSE(shown.empty());

  // Written by another program while the window is open: the checkbox follows, both ways.
  const auto write = [](const char* value) {
    const std::string command = std::string("'") + QUAYLINE_STAGE_DIR +
                                "/bin/quayline-defaults' write com.orrin.quayline "
                                "quayline.windowPreviewsEnabled -bool " +
                                value;
    return std::system(command.c_str());
  };
  ASSERT_EQ(write("false"), 0);
  EXPECT_TRUE(waitUntil([&] { return picture(dock, frame) != shown; }))
      << "the window does not show the value written elsewhere";
  ASSERT_EQ(write("true"), 0);
  EXPECT_TRUE(waitUntil([&] { return picture(dock, frame) == shown; }))
      << "the window does not show the value written back";
  EXPECT_EQ(storedPreviews(), true);
}

}  // namespace
}  // namespace quayline::x11test
