#pragma once

#include <sys/types.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/PropertyValue.h"
#include "model/PinnedItem.h"

namespace quayline::x11test {

class Probe;

// A window's place in root coordinates, and whether it is on screen.
struct WindowFrame {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool exists = false;    // the X window is still there
  bool viewable = false;  // mapped, with every ancestor mapped
  int bottom() const { return y + height; }
  bool operator==(const WindowFrame&) const = default;
};
std::ostream& operator<<(std::ostream& out, const WindowFrame& frame);

// One line of `quayline --list-tiles --json`.
struct ListedTile {
  std::string id;
  std::string section;
  std::string label;
  bool running = false;
  bool active = false;
};

// What the dock finds on disk when it starts.
struct DockSetup {
  // The stored lists; left as they are on disk (a fresh user's dock) when not given.
  std::optional<std::vector<PinnedItem>> pinned;
  std::optional<std::vector<PinnedItem>> trailing;
  // "tilesize" of the system dock's domain.
  std::optional<double> tileSize;
  // Further values of the application's own domain, by setting name ("maximizedWindowBehavior"
  // is stored as "quayline.maximizedWindowBehavior"). Window previews are off unless given.
  std::map<std::string, PropertyValue> settings;
  // Whether the constructor waits for the panel to be on screen, not only to exist (a dock
  // that starts ordered out never shows it).
  bool waitUntilShown = true;
  // Further environment of the program (QT_SCALE_FACTOR …).
  std::map<std::string, std::string> environment;
  // X pixels per point on the program's screen, for finding its tiles.
  double scale = 1;
};

// The real `quayline` program on the test display, started from a private copy whose
// information dictionary leaves the system dock alone (so it never starts Keelguard nor ends
// processes named "Dock"), with its log echoed into a file of its own. Input reaches it through
// XTest, as a user's would; everything is looked at through an X connection of the fixture's own.
// The program is ended (SIGTERM, then SIGKILL after a deadline) when the object goes away.
class RunningDock {
 public:
  using Setup = DockSetup;

  enum class Button : std::uint8_t { primary = 1, middle = 2, secondary = 3 };

  explicit RunningDock(const Setup& setup = {});
  ~RunningDock();
  RunningDock(const RunningDock&) = delete;
  RunningDock& operator=(const RunningDock&) = delete;

  // Whether the program came up and its dock panel was found (and shown, unless the setup said
  // otherwise); a test asserts this first.
  bool started() const { return window_ != XCB_WINDOW_NONE; }
  pid_t pid() const { return pid_; }
  bool runs() const;
  WindowFrame dockFrame();

  // The tiles as `quayline --list-tiles --json` prints them now.
  std::vector<ListedTile> tiles() const;
  // The listed tiles' ids and the panel's frame, for failure messages.
  std::string describeRow();
  std::optional<ListedTile> tile(std::string_view id) const;
  // Waits until `--list-tiles` shows the tile and the panel is as wide as the listed row (so the
  // panel shows the same row), then gives the tile's centre in root coordinates. Nothing when it
  // does not settle in time.
  std::optional<std::pair<int, int>> tileCentre(std::string_view id);
  std::optional<std::pair<int, int>> tileCentre(std::size_t index);

  // Moves the pointer to the tile's centre and clicks it through XTest. False when the tile was
  // not found.
  bool click(std::string_view id, Button button = Button::primary);
  bool click(std::size_t index, Button button = Button::primary);
  // Synthetic pointer input at root coordinates.
  void movePointer(int x, int y);
  // Presses the primary button at (x, y), moves by (dx, dy) in small relative steps and lets go.
  void dragFrom(int x, int y, int dx, int dy);
  void clickAt(int x, int y, Button button = Button::primary);
  // Presses and releases the key that produces `keysym` (from X11/keysymdef.h).
  void pressKey(std::uint32_t keysym);
  // Only presses it, or only releases it.
  void key(std::uint32_t keysym, bool down);

  // Whether another client holds the keyboard (an open menu does): a grab of our own is refused.
  bool keyboardTaken();
  // _NET_ACTIVE_WINDOW of the root; XCB_WINDOW_NONE when none.
  xcb_window_t activeWindow();
  // Viewable override-redirect windows of the program's process (its menus and popups).
  std::vector<xcb_window_t> popupWindows();
  // The frame of the program's one popup once exactly one is on screen; nothing when that does
  // not happen in time.
  std::optional<WindowFrame> waitForPopup();
  // Top-level client windows (from _NET_CLIENT_LIST) whose WM_NAME or _NET_WM_NAME is `title`.
  std::vector<xcb_window_t> clientWindows(std::string_view title);
  // The single client window titled `title` once there is exactly one and it is on screen;
  // XCB_WINDOW_NONE when that does not happen in time.
  xcb_window_t waitForWindow(std::string_view title);
  // A client window's frame as the window manager draws it (the client area grown by
  // _NET_FRAME_EXTENTS), and the client area alone.
  WindowFrame outerFrame(xcb_window_t window);
  WindowFrame clientFrame(xcb_window_t window);
  // _NET_WM_PID of a window; -1 when it has none.
  pid_t windowPid(xcb_window_t window);
  // Sends a client message to the root as a pager would (source indication 2).
  void sendToRoot(xcb_window_t window, const char* type, std::uint32_t d0 = 0, std::uint32_t d1 = 0,
                  std::uint32_t d2 = 0, std::uint32_t d3 = 0, std::uint32_t d4 = 0);
  xcb_atom_t atom(const char* name);
  xcb_connection_t* connection() const { return c_; }
  void sync();

  // Everything the program wrote on stderr and stdout so far (its log, with
  // QUAYLINE_LOG_STDERR=1).
  std::string logText() const;
  // The colour on screen at root coordinates, 0xRRGGBB; nothing outside the screen.
  std::optional<std::uint32_t> pixel(int x, int y);
  // A capture of the whole screen; false when `import` failed.
  bool screenshot(const std::filesystem::path& path) const;

  // The private copy of the program that every fixture runs.
  static std::filesystem::path program();

 private:
  std::optional<xcb_window_t> findPanel();
  double tileSizeNow() const;

  std::unique_ptr<Probe> probe_;
  xcb_connection_t* c_ = nullptr;
  xcb_window_t root_ = XCB_WINDOW_NONE;
  pid_t pid_ = -1;
  std::filesystem::path log_;
  xcb_window_t window_ = XCB_WINDOW_NONE;
  double scale_ = 1;
};

}  // namespace quayline::x11test
