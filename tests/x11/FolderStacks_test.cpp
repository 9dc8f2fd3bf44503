// A pinned folder's tile on the real dock opens its stack above it; Escape closes the stack
// without reaching the focused window, and the style chosen in the tile's menu is kept across a
// restart.
#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <algorithm>
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
  // The key codes pressed in the window so far.
  const std::vector<xcb_keycode_t>& keys() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(c_)) {
      if ((event->response_type & ~0x80) == XCB_KEY_PRESS) {
        keys_.push_back(reinterpret_cast<xcb_key_press_event_t*>(event)->detail);
      }
      std::free(event);
    }
    return keys_;
  }
  int presses() { return static_cast<int>(keys().size()); }

 private:
  xcb_connection_t* c_;
  xcb_window_t window_ = XCB_WINDOW_NONE;
  std::vector<xcb_keycode_t> keys_;
};

// Screenshots for a person to look at, when asked for.
void keepScreenshot(RunningDock& dock, const char* name) {
  if (const char* folder = std::getenv("QUAYLINE_SCREENSHOT_DIR")) {
    dock.screenshot(std::filesystem::path(folder) / name);
  }
}

// Viewable override-redirect windows on the display: the menus, whoever set their properties.
std::vector<xcb_window_t> viewablePopups(RunningDock& dock) {
  xcb_connection_t* c = dock.connection();
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr);
  std::vector<xcb_window_t> found;
  for (int i = 0; tree != nullptr && i < xcb_query_tree_children_length(tree); ++i) {
    const xcb_window_t window = xcb_query_tree_children(tree)[i];
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr);
    if (attributes != nullptr && attributes->override_redirect &&
        attributes->map_state == XCB_MAP_STATE_VIEWABLE) {
      found.push_back(window);
    }
    std::free(attributes);
  }
  std::free(tree);
  return found;
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
    const auto stack = dock.waitForPopup();
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
    // Keys sent before the menu holds the keyboard would reach the focused window instead.
    ASSERT_TRUE(waitUntil([&] { return dock.keyboardTaken(); }));
    const auto menus = viewablePopups(dock);
    for (const std::uint32_t key : {XK_Down, XK_Down, XK_Right}) {
      dock.pressKey(key);
    }
    // "List" is the submenu's second and last row. Keys would depend on whether the submenu has
    // selected its first row yet; a click does not.
    std::optional<WindowFrame> submenu;
    ASSERT_TRUE(waitUntil([&] {
      for (const xcb_window_t window : viewablePopups(dock)) {
        if (std::find(menus.begin(), menus.end(), window) == menus.end()) {
          submenu = dock.clientFrame(window);
        }
      }
      return submenu.has_value();
    })) << "no submenu";
    dock.clickAt(submenu->x + submenu->width / 2, submenu->y + submenu->height * 3 / 4);
    ASSERT_TRUE(waitUntil([&] { return dock.popupWindows().empty(); }));
    // Read afresh each time: a domain read once keeps what it read.
    EXPECT_TRUE(waitUntil([&] {
      FilePreferenceDomains domains(FilePreferenceDomains::defaultDirectory());
      return FolderStackStyles(domains).style(folder.string()) == FolderStackStyle::list;
    }));
  }
  RunningDock restarted(setup);
  ASSERT_TRUE(restarted.started()) << restarted.logText();
  ASSERT_TRUE(restarted.click(tileId));
  const auto stack = restarted.waitForPopup();
  ASSERT_TRUE(stack) << restarted.logText();
  // The list is narrower than the grid's five columns.
  EXPECT_GE(stack->width, 260) << *stack;
  EXPECT_LT(stack->width, 2 * 12 + 5 * 84 + 4 * 4) << *stack;
  keepScreenshot(restarted, "stack-list.png");
}

}  // namespace
}  // namespace quayline::x11test
