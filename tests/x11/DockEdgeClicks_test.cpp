// Clicks on the bare desktop beside the real dock's ends, through the root button grab: the
// first shows the desktop, the second brings the windows back, and a click on a window lying
// there still reaches that window; beside the other end a click opens the window overview.
#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

#include "support/RunningDock.h"
#include "support/X11Environment.h"

namespace quayline::x11test {
namespace {

// A plain managed window of the test's own that reports the clicks it receives.
class ClickedWindow {
 public:
  ClickedWindow(int x, int y, int width, int height) : c_(xcb_connect(nullptr, nullptr)) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
    window_ = xcb_generate_id(c_);
    const std::uint32_t values[] = {screen->white_pixel, XCB_EVENT_MASK_BUTTON_PRESS};
    xcb_create_window(c_, XCB_COPY_FROM_PARENT, window_, screen->root, 0, 0,
                      static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    xcb_map_window(c_, window_);
    xcb_flush(c_);
    x_ = x;
    y_ = y;
  }
  ~ClickedWindow() { xcb_disconnect(c_); }

  // Asks the window manager to put it in place, as a client moving itself would.
  void place() {
    const std::uint32_t position[] = {static_cast<std::uint32_t>(x_),
                                      static_cast<std::uint32_t>(y_)};
    xcb_configure_window(c_, window_, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, position);
    xcb_flush(c_);
  }
  bool clicked() {
    while (auto* event = xcb_poll_for_event(c_)) {
      const bool press = (event->response_type & 0x7f) == XCB_BUTTON_PRESS;
      std::free(event);
      if (press) {
        return true;
      }
    }
    return false;
  }
  xcb_window_t id() const { return window_; }

 private:
  xcb_connection_t* c_;
  xcb_window_t window_ = XCB_WINDOW_NONE;
  int x_ = 0;
  int y_ = 0;
};

TEST(DockEdgeClicks, LeftEndTogglesShowDesktopUnlessAWindowIsThereAndRightEndOpensTheOverview) {
  TestClient alpha({"--title", "Alpha", "--class", "alpha,Alpha"});
  RunningDock dock({.pinned = std::vector<PinnedItem>{},
                    .trailing = std::vector<PinnedItem>{},
                    .settings = {{"leadingEdgeAction", PropertyValue("showDesktop")}}});
  ASSERT_TRUE(dock.started()) << dock.logText();
  const xcb_window_t alphaWindow = dock.waitForWindow("Alpha");
  ASSERT_NE(alphaWindow, XCB_WINDOW_NONE);
  ASSERT_TRUE(waitUntil([&] {
    return dock.logText().find("edge tap created") != std::string::npos;
  })) << dock.logText();
  const WindowFrame panel = dock.dockFrame();
  ASSERT_GT(panel.x, 120) << panel;
  // Beside the left end, 5 pixels above the panel's bottom: inside the row's band.
  const int x = panel.x - 60;
  const int y = panel.bottom() - 5;
  const auto showing = [&] {
    xcb_connection_t* c = dock.connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(c,
                               xcb_get_property(c, 0, root, dock.atom("_NET_SHOWING_DESKTOP"),
                                                XCB_ATOM_CARDINAL, 0, 1),
                               nullptr),
        &std::free);
    return reply && xcb_get_property_value_length(reply.get()) == 4 &&
           *static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get())) == 1;
  };

  ClickedWindow window(x - 60, y - 100, 120, 200);
  ASSERT_TRUE(waitUntil([&] { return dock.clientFrame(window.id()).viewable; }));

  // Nothing there yet covers the band: the first click shows the desktop and hides the window.
  dock.clickAt(x, y);
  EXPECT_TRUE(waitUntil(showing)) << dock.logText();
  EXPECT_TRUE(waitUntil([&] { return !dock.clientFrame(window.id()).viewable; }));
  EXPECT_FALSE(window.clicked());

  // The second, past the debounce, brings the windows back.
  waitUntil([] { return false; }, std::chrono::milliseconds(400));
  dock.clickAt(x, y);
  EXPECT_TRUE(waitUntil([&] { return !showing(); })) << dock.logText();
  ASSERT_TRUE(waitUntil([&] { return dock.clientFrame(window.id()).viewable; }));

  // Moved onto the band, the window takes the click itself and the desktop stays covered.
  window.place();
  ASSERT_TRUE(waitUntil([&] {
    const WindowFrame frame = dock.clientFrame(window.id());
    return frame.x <= x && x < frame.x + frame.width && frame.y <= y && y < frame.bottom();
  })) << dock.clientFrame(window.id());
  waitUntil([] { return false; }, std::chrono::milliseconds(400));
  dock.clickAt(x, y);
  EXPECT_TRUE(waitUntil([&] { return window.clicked(); }));
  waitUntil([] { return false; }, std::chrono::milliseconds(300));
  EXPECT_FALSE(showing());

  // Beside the right end: the window overview. Return chooses its window; Escape, or a click
  // outside it, closes it.
  const int right = panel.x + panel.width + 60;
  const auto overview = [&] {
    waitUntil([] { return false; }, std::chrono::milliseconds(400));
    dock.clickAt(right, y);
    return waitUntil([&] { return dock.popupWindows().size() == 1; });
  };
  ASSERT_NE(dock.activeWindow(), alphaWindow);
  ASSERT_TRUE(overview()) << dock.logText();
  dock.pressKey(XK_Return);
  EXPECT_TRUE(waitUntil([&] { return dock.popupWindows().empty(); })) << dock.logText();
  EXPECT_TRUE(waitUntil([&] { return dock.activeWindow() == alphaWindow; }));
  ASSERT_TRUE(overview()) << dock.logText();
  dock.pressKey(XK_Escape);
  EXPECT_TRUE(waitUntil([&] { return dock.popupWindows().empty(); })) << dock.logText();
  ASSERT_TRUE(overview()) << dock.logText();
  dock.clickAt(right, 20);
  EXPECT_TRUE(waitUntil([&] { return dock.popupWindows().empty(); })) << dock.logText();
  EXPECT_TRUE(dock.runs());
}

}  // namespace
}  // namespace quayline::x11test
