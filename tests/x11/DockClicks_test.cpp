// Clicking the real dock's tiles with synthetic pointer and key input: switching between running
// applications, launching a pinned one from its desktop entry, and the tile menu.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "support/Processes.h"
#include "support/RunningDock.h"
#include "support/X11Environment.h"

namespace quayline::x11test {
namespace {

using Button = RunningDock::Button;

constexpr int kGapBelowRow = 5;
constexpr int kRowMargin = 7;

void activate(RunningDock& dock, xcb_window_t window) {
  dock.sendToRoot(window, "_NET_ACTIVE_WINDOW", 2, XCB_CURRENT_TIME);
}

// Ends a process the dock started, which is not the test's child.
struct Launched {
  pid_t pid = -1;
  ~Launched() { stopProcess(pid); }
};

TEST(DockClicks, ClickingARunningApplicationsTileBringsItsWindowForward) {
  const InstalledEntry alphaEntry("org.quayline.Alpha.desktop",
                                  clientEntry("Alpha", "--class alpha,Alpha", "Alpha"));
  const InstalledEntry betaEntry("org.quayline.Beta.desktop",
                                 clientEntry("Beta", "--class beta,Beta", "Beta"));
  TestClient alpha({"--title", "Alpha", "--class", "alpha,Alpha"});
  TestClient beta({"--title", "Beta", "--class", "beta,Beta"});
  RunningDock dock({.pinned = std::vector<PinnedItem>{}, .trailing = std::vector<PinnedItem>{}});
  ASSERT_TRUE(dock.started()) << dock.logText();
  const xcb_window_t alphaWindow = dock.waitForWindow("Alpha");
  const xcb_window_t betaWindow = dock.waitForWindow("Beta");
  ASSERT_NE(alphaWindow, XCB_WINDOW_NONE);
  ASSERT_NE(betaWindow, XCB_WINDOW_NONE);

  activate(dock, betaWindow);
  ASSERT_TRUE(waitUntil([&] { return dock.activeWindow() == betaWindow; }));
  ASSERT_TRUE(dock.click("running:org.quayline.Alpha")) << dock.logText();
  EXPECT_TRUE(waitUntil([&] { return dock.activeWindow() == alphaWindow; }))
      << "active: " << dock.activeWindow() << "\n"
      << dock.logText();

  // And back: the click acts on the tile under the pointer, not on whichever app came first.
  ASSERT_TRUE(dock.click("running:org.quayline.Beta"));
  EXPECT_TRUE(waitUntil([&] { return dock.activeWindow() == betaWindow; }))
      << "active: " << dock.activeWindow();

  // A minimized window comes back when its application's tile is clicked.
  dock.sendToRoot(alphaWindow, "WM_CHANGE_STATE", 3);  // IconicState
  ASSERT_TRUE(waitUntil([&] { return !dock.clientFrame(alphaWindow).viewable; }));
  ASSERT_TRUE(dock.click("running:org.quayline.Alpha"));
  EXPECT_TRUE(waitUntil([&] {
    return dock.clientFrame(alphaWindow).viewable && dock.activeWindow() == alphaWindow;
  })) << dock.clientFrame(alphaWindow);
  EXPECT_TRUE(dock.runs());
}

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

// A private session bus for the programs a test starts (single-instance applications need one).
class SessionBus {
 public:
  SessionBus() {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(
        ::popen("dbus-daemon --session --fork --print-address=1 --print-pid=1 2>/dev/null", "r"),
        ::pclose);
    std::array<char, 512> address{};
    std::array<char, 32> pid{};
    if (pipe && std::fgets(address.data(), address.size(), pipe.get()) &&
        std::fgets(pid.data(), pid.size(), pipe.get())) {
      pid_ = std::atoi(pid.data());
      std::string text = address.data();
      ::setenv("DBUS_SESSION_BUS_ADDRESS", text.substr(0, text.find('\n')).c_str(), 1);
    }
  }
  ~SessionBus() {
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    stopProcess(pid_);
  }
  bool started() const { return pid_ > 0; }

 private:
  pid_t pid_ = -1;
};

// Debian's Mousepad also installs a "Text Editor Settings" entry that runs the same program.
TEST(DockClicks, MousepadLaunchedFromItsPinLightsThePinAndAddsNoTile) {
  const std::string entry = "/usr/share/applications/org.xfce.mousepad.desktop";
  if (!std::filesystem::exists(entry) || !std::filesystem::exists("/usr/bin/dbus-daemon")) {
    GTEST_SKIP() << "needs mousepad and dbus-daemon";
  }
  const SessionBus bus;
  ASSERT_TRUE(bus.started());
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

TEST(DockClicks, TileMenuQuitsTheApplicationAndEscapeClosesIt) {
  const InstalledEntry entry("org.quayline.Delta.desktop",
                             clientEntry("Delta", "--class delta,Delta", "Delta"));
  TestClient delta({"--title", "Delta", "--class", "delta,Delta"});
  const int tileSize = 64;
  RunningDock dock({.pinned = std::vector<PinnedItem>{},
                    .trailing = std::vector<PinnedItem>{},
                    .tileSize = tileSize});
  ASSERT_TRUE(dock.started()) << dock.logText();
  const xcb_window_t window = dock.waitForWindow("Delta");
  ASSERT_NE(window, XCB_WINDOW_NONE);
  const std::string tileId = "running:org.quayline.Delta";
  const auto centre = dock.tileCentre(tileId);
  ASSERT_TRUE(centre) << dock.logText();
  ASSERT_TRUE(dock.popupWindows().empty());

  // Escape closes the menu and does nothing else.
  ASSERT_TRUE(dock.click(tileId, Button::secondary));
  ASSERT_TRUE(waitUntil([&] { return dock.popupWindows().size() == 1; })) << dock.logText();
  const WindowFrame menu = dock.clientFrame(dock.popupWindows().front());
  const WindowFrame panel = dock.dockFrame();
  const int tileTop = panel.bottom() - kGapBelowRow - kRowMargin - tileSize;
  // The glass's own menu opens at the pointer instead, over the tile; its last item quits the
  // dock, so the keys below must not reach it.
  ASSERT_LE(menu.bottom(), tileTop)
      << "not the tile's menu above the tile? menu " << menu << ", dock " << panel;
  EXPECT_LT(menu.x, centre->first + tileSize / 2) << "menu " << menu;
  EXPECT_GT(menu.x + menu.width, centre->first - tileSize / 2) << "menu " << menu;
  dock.pressKey(XK_Escape);
  ASSERT_TRUE(waitUntil([&] { return dock.popupWindows().empty(); }));
  EXPECT_TRUE(delta.runs());
  EXPECT_TRUE(dock.clientFrame(window).viewable);

  // "Quit" is the last item: Up selects it from a menu with nothing selected.
  ASSERT_TRUE(dock.click(tileId, Button::secondary));
  ASSERT_TRUE(waitUntil([&] { return !dock.popupWindows().empty(); }));
  dock.pressKey(XK_Up);
  dock.pressKey(XK_Return);
  EXPECT_TRUE(waitUntil([&] { return dock.popupWindows().empty(); }));
  EXPECT_TRUE(waitUntil([&] { return !delta.runs() && !dock.clientFrame(window).exists; }))
      << dock.logText();
  EXPECT_TRUE(waitUntil([&] { return !dock.tile(tileId); }));
  EXPECT_TRUE(dock.runs());
}

}  // namespace
}  // namespace quayline::x11test
