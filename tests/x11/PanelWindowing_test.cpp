#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include "platform/linux/x11/X11PanelWindowing.h"
#include "support/Desktop.h"
#include "support/X11Environment.h"

namespace quayline::x11test {
namespace {

// The root's depth and visual, for pixmaps and windows of the test's own.
std::uint8_t rootDepth(xcb_connection_t* c) {
  return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root_depth;
}

TEST(X11PanelWindowing, ReadsTheDesktopBackgroundFromTheRootPixmapAndFollowsIt) {
  Desktop desktop;
  x11::X11PanelWindowing windowing(*desktop.connection);
  Probe probe;
  auto* c = probe.connection();
  // No background image: nothing to draw over.
  EXPECT_TRUE(windowing.desktopBackground(Rect(0, 0, 10, 10)).empty());

  int changes = 0;
  const Subscription watching = windowing.observeDesktopBackground([&] { ++changes; });
  const xcb_pixmap_t pixmap = xcb_generate_id(c);
  xcb_create_pixmap(c, rootDepth(c), pixmap, probe.root(), XServer::kWidth, XServer::kHeight);
  const xcb_gcontext_t gc = xcb_generate_id(c);
  const std::uint32_t blue = 0x336699;
  xcb_create_gc(c, gc, pixmap, XCB_GC_FOREGROUND, &blue);
  const xcb_rectangle_t whole{0, 0, XServer::kWidth, XServer::kHeight};
  xcb_poly_fill_rectangle(c, pixmap, gc, 1, &whole);
  const std::uint32_t red = 0xcc0000;
  xcb_change_gc(c, gc, XCB_GC_FOREGROUND, &red);
  const xcb_rectangle_t corner{100, 700, 10, 10};
  xcb_poly_fill_rectangle(c, pixmap, gc, 1, &corner);
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, probe.root(), probe.atom("_XROOTPMAP_ID"),
                      XCB_ATOM_PIXMAP, 32, 1, &pixmap);
  probe.sync();
  EXPECT_TRUE(waitUntil([&] { return changes > 0; }));

  const DesktopImage image = windowing.desktopBackground(Rect(95, 695, 20, 30));
  ASSERT_EQ(image.width, 20);
  ASSERT_EQ(image.height, 30);
  EXPECT_EQ(image.pixels[0], 0xFF336699u);             // (95, 695)
  EXPECT_EQ(image.pixels[5 * 20 + 5], 0xFFCC0000u);    // (100, 700)
  EXPECT_EQ(image.pixels[29 * 20 + 19], 0xFF336699u);  // (114, 724)

  // A pixmap freed by whoever set it gives no image rather than an error.
  xcb_free_pixmap(c, pixmap);
  probe.sync();
  EXPECT_TRUE(windowing.desktopBackground(Rect(0, 0, 10, 10)).empty());
}

TEST(X11PanelWindowing, NoticesACompositingManagerComingAndGoing) {
  Desktop desktop;
  x11::X11PanelWindowing windowing(*desktop.connection);
  EXPECT_FALSE(windowing.isComposited());
  std::vector<bool> seen;
  const Subscription watching = windowing.observeCompositing([&](bool on) { seen.push_back(on); });

  Probe probe;
  auto* c = probe.connection();
  const xcb_window_t owner = xcb_generate_id(c);
  xcb_create_window(c, XCB_COPY_FROM_PARENT, owner, probe.root(), 0, 0, 1, 1, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
  xcb_set_selection_owner(c, owner, probe.atom("_NET_WM_CM_S0"), XCB_CURRENT_TIME);
  probe.sync();
  ASSERT_TRUE(waitUntil([&] { return seen == std::vector<bool>{true}; }));
  EXPECT_TRUE(windowing.isComposited());

  xcb_destroy_window(c, owner);  // the selection goes with its owner
  probe.sync();
  EXPECT_TRUE(waitUntil([&] { return seen == std::vector<bool>{true, false}; }));
}

TEST(X11PanelWindowing, MarksAWindowAsADockOnEveryDesktop) {
  Desktop desktop;
  x11::X11PanelWindowing windowing(*desktop.connection);
  Probe probe;
  auto* c = probe.connection();
  const xcb_window_t window = xcb_generate_id(c);
  xcb_create_window(c, XCB_COPY_FROM_PARENT, window, probe.root(), 0, 700, 200, 60, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
  probe.sync();
  windowing.prepareDockPanel(window);
  desktop.connection->sync(std::chrono::steady_clock::now() + std::chrono::seconds(2));
  EXPECT_EQ(probe.cardinals(window, "_NET_WM_WINDOW_TYPE"),
            std::vector<std::uint32_t>{probe.atom("_NET_WM_WINDOW_TYPE_DOCK")});
  EXPECT_EQ(probe.cardinals(window, "_NET_WM_DESKTOP"), std::vector<std::uint32_t>{0xFFFFFFFF});
  const auto states = probe.cardinals(window, "_NET_WM_STATE");
  EXPECT_NE(std::find(states.begin(), states.end(), probe.atom("_NET_WM_STATE_SKIP_TASKBAR")),
            states.end());
  EXPECT_NE(std::find(states.begin(), states.end(), probe.atom("_NET_WM_STATE_ABOVE")),
            states.end());
}

}  // namespace
}  // namespace quayline::x11test
