// The dock program itself on a real X server: where its panels are, what the window manager is
// told about them, and how they follow screens, settings and running applications.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>

#include "support/Desktop.h"
#include "support/Processes.h"
#include "support/RunningDock.h"
#include "support/X11Environment.h"
#include "support/XServer.h"

namespace quayline::x11test {
namespace {

namespace fs = std::filesystem;

struct Frame {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const Frame&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Frame& f) {
  return out << f.width << "x" << f.height << "+" << f.x << "+" << f.y;
}

// The geometry every dock follows, worked out by hand for the tile lists these tests use.
Frame expectedDock(int rowWidth, int tileSize, Frame screen) {
  const int width = std::min(rowWidth + 4, screen.width);
  const int height = tileSize + 19;
  const int x = static_cast<int>(std::round(screen.x + screen.width / 2.0 - width * 0.5));
  return {x, screen.y + screen.height - height, width, height};
}

// Runs a program with DISPLAY pointing at `display` for the child only.
pid_t spawnOn(const std::string& display, const std::string& program,
              const std::vector<std::string>& arguments, const std::string& log) {
  const std::string saved = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
  ::setenv("DISPLAY", display.c_str(), 1);
  const pid_t pid = spawnProcess(program, arguments, log);
  ::setenv("DISPLAY", saved.c_str(), 1);
  return pid;
}

// The test's own values of a preference domain, written as the preference store writes its
// files: a whole new property list renamed over the old one, which the running dock notices.
void writeDomain(const std::string& domain, const std::string& key, const std::string& value) {
  static std::map<std::string, std::map<std::string, std::string>> domains;
  domains[domain][key] = value;
  const char* directory = std::getenv("QUAYLINE_PREFERENCES_DIR");
  ASSERT_NE(directory, nullptr);
  const fs::path file = fs::path(directory) / (domain + ".plist");
  const fs::path temporary = file.string() + ".writing";
  {
    std::ofstream out(temporary);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>";
    for (const auto& [name, xml] : domains[domain]) {
      out << "<key>" << name << "</key>" << xml;
    }
    out << "</dict></plist>\n";
  }
  fs::rename(temporary, file);
}

void setTileSize(int size) {
  writeDomain("com.apple.dock", "tilesize", "<integer>" + std::to_string(size) + "</integer>");
}

// Looks at a display through a connection of the test's own.
class Screen : public Probe {
 public:
  explicit Screen(const std::string& display) : Probe(display.c_str()) {}

  bool viewable(xcb_window_t window) {
    auto* reply = xcb_get_window_attributes_reply(
        connection(), xcb_get_window_attributes(connection(), window), nullptr);
    const bool result = reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(reply);
    return result;
  }
  Frame frame(xcb_window_t window) {
    xcb_connection_t* c = connection();
    auto* geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
    auto* origin = xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, window, root(), 0, 0), nullptr);
    Frame result;
    if (geometry && origin) {
      result = {origin->dst_x, origin->dst_y, geometry->width, geometry->height};
    }
    std::free(geometry);
    std::free(origin);
    return result;
  }
  // The mapped dock-type windows, by X id.
  std::map<xcb_window_t, Frame> docks() {
    std::map<xcb_window_t, Frame> found;
    const xcb_atom_t dock = atom("_NET_WM_WINDOW_TYPE_DOCK");
    for (const auto window : clientList()) {
      const auto types = cardinals(window, "_NET_WM_WINDOW_TYPE");
      if (std::find(types.begin(), types.end(), dock) != types.end() && viewable(window)) {
        found.emplace(window, frame(window));
      }
    }
    return found;
  }
  std::vector<Frame> dockFrames() {
    std::vector<Frame> frames;
    for (const auto& [window, frame] : docks()) {
      frames.push_back(frame);
    }
    std::sort(frames.begin(), frames.end(),
              [](const Frame& a, const Frame& b) { return a.x < b.x; });
    return frames;
  }
};

// The dock program on a display until the object goes away (ended with SIGTERM, in order).
class PanelProcess {
 public:
  explicit PanelProcess(const std::string& display) {
    log_ = (X11Environment::instance().root() / "logs" / "quayline.log").string();
    pid_ = spawnOn(display, RunningDock::program().string(), {}, log_);
  }
  ~PanelProcess() { stopProcess(pid_); }
  bool runs() const { return processRuns(pid_); }
  std::string log() const {
    std::ifstream in(log_);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

 private:
  pid_t pid_ = -1;
  std::string log_;
};

std::string mainDisplay() {
  return X11Environment::instance().server()->display();
}

const Frame kWholeScreen{0, 0, XServer::kWidth, XServer::kHeight};

// Finder, the trailing divider and the Trash: the tiles of a fresh user's dock.
int freshRow(int t) {
  return (t + 2) + static_cast<int>(std::round(t * 0.5)) + (t + 2);
}

bool settlesOn(Screen& screen, const std::vector<Frame>& expected) {
  const bool settled = waitUntil([&] { return screen.dockFrames() == expected; });
  if (!settled) {
    for (const auto& frame : screen.dockFrames()) {
      std::cerr << "  dock at " << frame << "\n";
    }
  }
  return settled;
}

TEST(DockPanel, SitsCentredOnTheBottomEdgeAsADockWindowAndFollowsTileSizeAndApplications) {
  setTileSize(64);
  Screen screen(mainDisplay());
  PanelProcess dock(mainDisplay());
  ASSERT_TRUE(settlesOn(screen, {expectedDock(freshRow(64), 64, kWholeScreen)})) << dock.log();
  EXPECT_EQ(screen.dockFrames().front(), (Frame{556, 717, 168, 83}));

  const auto window = screen.docks().begin()->first;
  EXPECT_EQ(screen.cardinals(window, "_NET_WM_DESKTOP"), std::vector<std::uint32_t>{0xFFFFFFFF});
  const auto states = screen.cardinals(window, "_NET_WM_STATE");
  for (const char* state :
       {"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}) {
    EXPECT_NE(std::find(states.begin(), states.end(), screen.atom(state)), states.end()) << state;
  }
  // Never focused: the input hint of WM_HINTS (flags bit 0, then the input field) is off.
  const auto hints = screen.cardinals(window, "WM_HINTS");
  ASSERT_GE(hints.size(), 2u);
  EXPECT_TRUE((hints[0] & 1) != 0 && hints[1] == 0);

  // A new domain file (as quayline-defaults writes it): the running dock picks the change up.
  setTileSize(48);
  ASSERT_TRUE(settlesOn(screen, {expectedDock(freshRow(48), 48, kWholeScreen)}));
  EXPECT_EQ(screen.dockFrames().front(), (Frame{576, 733, 128, 67}));

  // A running application adds the running divider and its tile.
  TestClient client({"--title", "Sample"});
  ASSERT_TRUE(settlesOn(screen, {expectedDock(freshRow(48) + 24 + 50, 48, kWholeScreen)}))
      << dock.log();
  client.stop();
  EXPECT_TRUE(settlesOn(screen, {expectedDock(freshRow(48), 48, kWholeScreen)}));
}

// A display of its own, 2304 × 800, with the monitors "left" (1280 × 800 at the origin, the
// primary) and "right" (1024 × 768 beside it, bottom-aligned) defined through RandR. Xvfb keeps
// the monitor of its one output as well, so Qt reports three screens: left, right and the whole
// display.
class TwoMonitorDisplay {
 public:
  TwoMonitorDisplay()
      : server_(XServer::start(X11Environment::instance().root() / "logs",
                               XServer::WindowManager::openbox, {}, "2304x800x24")) {
    if (server_) {
      xrandr({"--setmonitor", "*left", "1280/339x800/212+0+0", "none"});
      addRight();
    }
  }
  std::string display() const { return server_ ? server_->display() : std::string(); }
  void addRight() { xrandr({"--setmonitor", "right", "1024/270x768/203+1280+32", "none"}); }
  void removeRight() { xrandr({"--delmonitor", "right"}); }

  static constexpr Frame left{0, 0, 1280, 800};
  static constexpr Frame right{1280, 32, 1024, 768};
  static constexpr Frame whole{0, 0, 2304, 800};

 private:
  void xrandr(const std::vector<std::string>& arguments) {
    const pid_t pid = spawnOn(server_->display(), "/usr/bin/xrandr", arguments,
                              (X11Environment::instance().root() / "logs" / "xrandr.log").string());
    int status = 0;
    ::waitpid(pid, &status, 0);
  }

  std::unique_ptr<XServer> server_;
};

void setPreference(const std::string& key, const std::string& value) {
  writeDomain("com.orrin.quayline", "quayline." + key, "<string>" + value + "</string>");
}

std::set<xcb_window_t> ids(Screen& screen) {
  std::set<xcb_window_t> result;
  for (const auto& [window, frame] : screen.docks()) {
    result.insert(window);
  }
  return result;
}

class DockDisplays : public ::testing::Test {
 protected:
  void SetUp() override {
    if (display.display().empty()) {
      GTEST_SKIP() << "no second Xvfb display";
    }
    setTileSize(48);
    setPreference("windowDisplayTarget", "allDisplays");
    setPreference("runningAppsScope", "allDisplays");
  }
  Frame on(const Frame& monitor, int rowWidth = freshRow(48)) {
    return expectedDock(rowWidth, 48, monitor);
  }

  TwoMonitorDisplay display;
};

TEST_F(DockDisplays, AllDisplaysGetsAPanelPerScreenAndKeepsThemAcrossScreenChanges) {
  Screen screen(display.display());
  PanelProcess dock(display.display());
  const auto left = on(TwoMonitorDisplay::left);
  const auto right = on(TwoMonitorDisplay::right);
  const auto whole = on(TwoMonitorDisplay::whole);
  ASSERT_TRUE(settlesOn(screen, {left, whole, right})) << dock.log();
  EXPECT_EQ(right, (Frame{1728, 733, 128, 67}));
  const auto before = ids(screen);

  // Unplugging a monitor retires its panel; the others stay the same windows.
  display.removeRight();
  ASSERT_TRUE(settlesOn(screen, {left, whole}));
  const auto remaining = ids(screen);
  EXPECT_TRUE(std::includes(before.begin(), before.end(), remaining.begin(), remaining.end()));

  display.addRight();
  ASSERT_TRUE(settlesOn(screen, {left, whole, right}));
  EXPECT_TRUE(
      std::includes(ids(screen).begin(), ids(screen).end(), remaining.begin(), remaining.end()));
}

TEST_F(DockDisplays, PerDisplayRunningAppsShowOnlyWhereTheirWindowsAre) {
  setPreference("runningAppsScope", "displayWithWindows");
  Screen screen(display.display());
  PanelProcess dock(display.display());
  const auto left = on(TwoMonitorDisplay::left);
  const auto whole = on(TwoMonitorDisplay::whole);
  ASSERT_TRUE(settlesOn(screen, {left, whole, on(TwoMonitorDisplay::right)})) << dock.log();

  // A window on the right monitor: only that monitor's dock gains the running section.
  const pid_t client =
      spawnOn(display.display(), QUAYLINE_TEST_CLIENT,
              {"--title", "Right", "--pos", "1500,200", "--size", "200x200"}, "/dev/null");
  EXPECT_TRUE(
      settlesOn(screen, {left, whole, on(TwoMonitorDisplay::right, freshRow(48) + 24 + 50)}))
      << dock.log();
  stopProcess(client);
  EXPECT_TRUE(settlesOn(screen, {left, whole, on(TwoMonitorDisplay::right)}))
      << "dock runs: " << dock.runs() << "\n"
      << dock.log();
}

}  // namespace
}  // namespace quayline::x11test
