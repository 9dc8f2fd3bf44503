// Clicking the real dock's pinned tiles: launching an application from its desktop entry. Clicks
// on running applications' tiles and the tile menu are tried under every window manager.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "support/Processes.h"
#include "support/RunningDock.h"
#include "support/X11Environment.h"

namespace quayline::x11test {
namespace {

TEST(DockClicks, ClickingAPinnedApplicationThatIsNotRunningLaunchesIt) {
  const InstalledEntry entry("org.quayline.Gamma.desktop",
                             clientEntry("Gamma", "--title Gamma --class gamma,Gamma", "Gamma"));
  const std::string tileId = "pinned:app:org.quayline.Gamma";
  RunningDock dock(
      {.pinned = std::vector<PinnedItem>{PinnedApp{"org.quayline.Gamma", entry.path().string()}},
       .trailing = std::vector<PinnedItem>{}});
  ASSERT_TRUE(dock.started()) << dock.logText();
  const auto before = dock.tile(tileId);
  ASSERT_TRUE(before);
  ASSERT_FALSE(before->running);
  ASSERT_TRUE(dock.clientWindows("Gamma").empty());

  ASSERT_TRUE(dock.click(tileId)) << dock.logText();
  const xcb_window_t window = dock.waitForWindow("Gamma");
  ASSERT_NE(window, XCB_WINDOW_NONE) << dock.logText();
  const Launched launched{dock.windowPid(window)};
  EXPECT_GT(launched.pid, 0);
  EXPECT_TRUE(waitUntil([&] {
    const auto now = dock.tile(tileId);
    return now && now->running;
  })) << dock.logText();
  // The launched window is the one in front, and the tile stays where it was pinned.
  EXPECT_TRUE(waitUntil([&] { return dock.activeWindow() == window; }));
  EXPECT_FALSE(dock.tile("running:org.quayline.Gamma"));
}

// Debian's Mousepad also installs a "Text Editor Settings" entry that runs the same program.
TEST(DockClicks, MousepadLaunchedFromItsPinLightsThePinAndAddsNoTile) {
  const std::string entry = "/usr/share/applications/org.xfce.mousepad.desktop";
  if (!std::filesystem::exists(entry) || !std::filesystem::exists("/usr/bin/dbus-daemon")) {
    GTEST_SKIP() << "needs mousepad and dbus-daemon";
  }
  // Single-instance applications need a session bus.
  const SessionBus bus;
  ASSERT_TRUE(bus.started());
  ::setenv("DBUS_SESSION_BUS_ADDRESS", bus.address().c_str(), 1);
  const std::string tileId = "pinned:app:org.xfce.mousepad";
  RunningDock dock({.pinned = std::vector<PinnedItem>{PinnedApp{"org.xfce.mousepad", entry}},
                    .trailing = std::vector<PinnedItem>{}});
  ASSERT_TRUE(dock.started()) << dock.logText();
  ASSERT_TRUE(dock.click(tileId)) << dock.logText();
  EXPECT_TRUE(waitUntil(
      [&] {
        const auto pin = dock.tile(tileId);
        return pin && pin->running;
      },
      std::chrono::seconds(20)))
      << dock.logText();
  // Every other client on this display is Mousepad's.
  Launched launched;
  xcb_connection_t* c = dock.connection();
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> clients(
      xcb_get_property_reply(
          c, xcb_get_property(c, 0, root, dock.atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW, 0, 1024),
          nullptr),
      &std::free);
  ASSERT_TRUE(clients);
  const auto* windows = static_cast<const xcb_window_t*>(xcb_get_property_value(clients.get()));
  for (int i = 0; i < xcb_get_property_value_length(clients.get()) / 4; ++i) {
    if (const pid_t pid = dock.windowPid(windows[i]); pid > 0 && pid != dock.pid()) {
      launched.pid = pid;
    }
  }
  EXPECT_GT(launched.pid, 0) << "a Mousepad window";
  for (const ListedTile& tile : dock.tiles()) {
    EXPECT_FALSE(tile.id.starts_with("running:")) << tile.id << " " << tile.label;
  }
}

}  // namespace
}  // namespace quayline::x11test
