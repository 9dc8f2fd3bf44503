// A pinned folder's tile on the real dock opens its stack above it; Escape closes the stack
// without reaching the focused window, and the style chosen in the tile's menu is kept across a
// restart.
#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/linux/FilePreferenceDomains.h"
#include "stacks/FolderStackStyle.h"
#include "support/RunningDock.h"
#include "support/X11Environment.h"

namespace quayline::x11test {
namespace {

// A window of the test's own that takes the focus and counts the key presses it receives.
class KeyWitness {
 public:
  KeyWitness() : c_(xcb_connect(nullptr, nullptr)) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
    window_ = xcb_generate_id(c_);
    const std::uint32_t values[] = {screen->white_pixel, XCB_EVENT_MASK_KEY_PRESS};
    xcb_create_window(c_, XCB_COPY_FROM_PARENT, window_, screen->root, 100, 100, 300, 200, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    xcb_change_property(c_, XCB_PROP_MODE_REPLACE, window_, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        std::strlen(kTitle), kTitle);
    xcb_map_window(c_, window_);
    xcb_flush(c_);
  }
  ~KeyWitness() { xcb_disconnect(c_); }

  static constexpr const char* kTitle = "Witness";
  xcb_window_t window() const { return window_; }
  int presses() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(c_)) {
      if ((event->response_type & ~0x80) == XCB_KEY_PRESS) {
        ++presses_;
      }
      std::free(event);
    }
    return presses_;
  }

 private:
  xcb_connection_t* c_;
  xcb_window_t window_ = XCB_WINDOW_NONE;
  int presses_ = 0;
};

// Screenshots for a person to look at, when asked for.
void keepScreenshot(RunningDock& dock, const char* name) {
  if (const char* folder = std::getenv("QUAYLINE_SCREENSHOT_DIR")) {
    dock.screenshot(std::filesystem::path(folder) / name);
  }
}

std::optional<WindowFrame> waitForStack(RunningDock& dock) {
  std::optional<WindowFrame> frame;
  waitUntil([&] {
    const auto popups = dock.popupWindows();
    if (popups.size() == 1) {
      frame = dock.clientFrame(popups.front());
    }
    return frame.has_value();
  });
  return frame;
}

TEST(FolderStacks, ATileOpensItsStackEscapeClosesItAndTheChosenStyleIsKept) {
  const auto folder = X11Environment::instance().root() / "home" / "Stack";
  std::filesystem::create_directories(folder / "zeta");
  for (const char* name : {"File 10.txt", "File 2.txt", "alpha.txt", ".secret"}) {
    std::ofstream(folder / name) << name;
  }
  const std::string tileId = "pinned:folder:" + folder.string();
  const DockSetup setup{.pinned = std::vector<PinnedItem>{PinnedFolder{folder.string()}},
                        .trailing = std::vector<PinnedItem>{}};
  KeyWitness witness;
  {
    RunningDock dock(setup);
    ASSERT_TRUE(dock.started()) << dock.logText();
    const xcb_window_t focused = dock.waitForWindow(KeyWitness::kTitle);
    ASSERT_NE(focused, XCB_WINDOW_NONE);
    dock.sendToRoot(focused, "_NET_ACTIVE_WINDOW", 2, XCB_CURRENT_TIME);
    ASSERT_TRUE(waitUntil([&] { return dock.activeWindow() == focused; }));
    dock.pressKey(XK_a);
    ASSERT_TRUE(waitUntil([&] { return witness.presses() == 1; }));

    // Above its tile, centred on it, and the focus stays where it was.
    const auto centre = dock.tileCentre(tileId);
    ASSERT_TRUE(centre) << dock.describeRow();
    ASSERT_TRUE(dock.click(tileId));
    const auto stack = waitForStack(dock);
    ASSERT_TRUE(stack) << dock.logText();
    const WindowFrame panel = dock.dockFrame();
    EXPECT_LE(stack->bottom(), panel.y) << *stack << ", dock " << panel;
    EXPECT_NEAR(stack->x + stack->width / 2.0, centre->first, 1.0) << *stack;
    // Five columns of the grid.
    EXPECT_EQ(stack->width, 2 * 12 + 5 * 84 + 4 * 4) << *stack;
    EXPECT_EQ(dock.activeWindow(), focused);
    keepScreenshot(dock, "stack-grid.png");

    dock.pressKey(XK_Escape);
    ASSERT_TRUE(waitUntil([&] { return dock.popupWindows().empty(); })) << dock.logText();
    EXPECT_EQ(witness.presses(), 1);
    // Not held once the stack is gone: the next Escape reaches the window.
    dock.pressKey(XK_Escape);
    EXPECT_TRUE(waitUntil([&] { return witness.presses() == 2; }));

    // The tile's menu: "Open …", "View as" ▸ "Grid", "List".
    ASSERT_TRUE(dock.click(tileId, RunningDock::Button::secondary));
    ASSERT_TRUE(waitUntil([&] { return dock.popupWindows().size() == 1; })) << dock.logText();
    for (const std::uint32_t key : {XK_Down, XK_Down, XK_Right, XK_Down, XK_Return}) {
      dock.pressKey(key);
    }
    ASSERT_TRUE(waitUntil([&] { return dock.popupWindows().empty(); }));
    FilePreferenceDomains domains(FilePreferenceDomains::defaultDirectory());
    EXPECT_TRUE(waitUntil([&] {
      return FolderStackStyles(domains).style(folder.string()) == FolderStackStyle::list;
    }));
  }
  RunningDock restarted(setup);
  ASSERT_TRUE(restarted.started()) << restarted.logText();
  ASSERT_TRUE(restarted.click(tileId));
  const auto stack = waitForStack(restarted);
  ASSERT_TRUE(stack) << restarted.logText();
  // The list is narrower than the grid's five columns.
  EXPECT_GE(stack->width, 260) << *stack;
  EXPECT_LT(stack->width, 2 * 12 + 5 * 84 + 4 * 4) << *stack;
  keepScreenshot(restarted, "stack-list.png");
}

}  // namespace
}  // namespace quayline::x11test
