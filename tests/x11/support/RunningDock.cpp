#include "RunningDock.h"

#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <thread>

#include "Desktop.h"
#include "Processes.h"
#include "X11Environment.h"
#include "foundation/Json.h"
#include "platform/linux/FilePreferenceDomains.h"

namespace quayline::x11test {

namespace fs = std::filesystem;

namespace {

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
Reply<T> owned(T* reply) {
  return Reply<T>(reply, &std::free);
}

constexpr std::string_view kDockDomain = "com.apple.dock";
constexpr double kDefaultTileSize = 64;
constexpr int kRowInset = 2;
constexpr int kGapBelowRow = 5;
constexpr int kRowMargin = 7;

FilePreferenceDomains preferences() {
  return FilePreferenceDomains(FilePreferenceDomains::defaultDirectory());
}

void storeList(FilePreferenceDomains& domains, std::string_view key,
               const std::vector<PinnedItem>& items) {
  const std::string json = encodePinnedList(items);
  domains.set(PreferenceDomains::application, key,
              PropertyValue(PropertyData(json.begin(), json.end())));
}

bool halfWidth(const ListedTile& tile) {
  return tile.id.starts_with("divider:") ||
         (tile.id.find("spacer") != std::string::npos && tile.label == "small spacer");
}

int logCounter = 0;

}  // namespace

std::ostream& operator<<(std::ostream& out, const WindowFrame& frame) {
  if (!frame.exists) {
    return out << "(no window)";
  }
  return out << frame.width << "x" << frame.height << "+" << frame.x << "+" << frame.y
             << (frame.viewable ? " viewable" : " not viewable");
}

fs::path RunningDock::program() {
  const fs::path prefix = X11Environment::instance().root() / "dock-prefix";
  const fs::path copy = prefix / "bin" / "quayline";
  if (!fs::exists(copy)) {
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / "share" / "quayline");
    fs::copy_file(fs::path(QUAYLINE_STAGE_DIR) / "bin" / "quayline", copy);
    std::ofstream(prefix / "share" / "quayline" / "Info.plist")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
           "<key>CFBundleIdentifier</key><string>com.orrin.quayline</string>"
           "<key>QuaylineHidesSystemDock</key><false/></dict></plist>\n";
  }
  return copy;
}

RunningDock::RunningDock(const Setup& setup)
    : probe_(std::make_unique<Probe>()),
      c_(probe_->connection()),
      root_(probe_->root()),
      scale_(setup.scale) {
  auto domains = preferences();
  if (setup.pinned) {
    storeList(domains, "quayline.pinnedItems", *setup.pinned);
  }
  if (setup.trailing) {
    storeList(domains, "quayline.trailingItems", *setup.trailing);
  }
  if (setup.tileSize) {
    domains.set(kDockDomain, "tilesize", PropertyValue(*setup.tileSize));
  }
  // A pointer resting on a tile would open its preview, one more popup beside the menus the
  // tests look for: previews are on only where a test asks for them.
  if (!setup.settings.contains("windowPreviewsEnabled")) {
    domains.set(PreferenceDomains::application, "quayline.windowPreviewsEnabled",
                PropertyValue(false));
  }
  for (const auto& [name, value] : setup.settings) {
    domains.set(PreferenceDomains::application, "quayline." + name, value);
  }

  log_ = X11Environment::instance().root() / "logs" /
         ("quayline-" + std::to_string(++logCounter) + ".log");
  // Only the child sees the variables: the test process has its own log and scale.
  auto environment = setup.environment;
  environment.emplace("QUAYLINE_LOG_STDERR", "1");
  std::map<std::string, std::optional<std::string>> saved;
  for (const auto& [name, value] : environment) {
    const char* before = std::getenv(name.c_str());
    saved.emplace(name, before ? std::optional<std::string>(before) : std::nullopt);
    ::setenv(name.c_str(), value.c_str(), 1);
  }
  pid_ = spawnProcess(program().string(), {}, log_.string());
  for (const auto& [name, value] : saved) {
    if (value) {
      ::setenv(name.c_str(), value->c_str(), 1);
    } else {
      ::unsetenv(name.c_str());
    }
  }
  if (pid_ <= 0) {
    return;
  }
  xcb_window_t found = XCB_WINDOW_NONE;
  waitUntil(
      [&] {
        found = findPanel().value_or(XCB_WINDOW_NONE);
        return !runs() ||
               (found != XCB_WINDOW_NONE && (!setup.waitUntilShown || clientFrame(found).viewable));
      },
      std::chrono::seconds(20));
  if (found != XCB_WINDOW_NONE && (!setup.waitUntilShown || clientFrame(found).viewable)) {
    window_ = found;
  }
}

RunningDock::~RunningDock() {
  stopProcess(pid_);
}

bool RunningDock::runs() const {
  return processRuns(pid_);
}

xcb_atom_t RunningDock::atom(const char* name) {
  return probe_->atom(name);
}

void RunningDock::sync() {
  probe_->sync();
}

pid_t RunningDock::windowPid(xcb_window_t window) {
  const auto values = probe_->cardinals(window, "_NET_WM_PID");
  return values.empty() ? -1 : static_cast<pid_t>(values.front());
}

std::optional<xcb_window_t> RunningDock::findPanel() {
  const xcb_atom_t dock = atom("_NET_WM_WINDOW_TYPE_DOCK");
  // The window manager lists the panel once it manages it; a panel that was never shown is
  // found among the root's children instead.
  std::vector<xcb_window_t> candidates = probe_->clientList();
  if (auto tree = owned(xcb_query_tree_reply(c_, xcb_query_tree(c_, root_), nullptr))) {
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    candidates.insert(candidates.end(), children,
                      children + xcb_query_tree_children_length(tree.get()));
  }
  for (const auto window : candidates) {
    const auto types = probe_->cardinals(window, "_NET_WM_WINDOW_TYPE");
    if (std::find(types.begin(), types.end(), dock) != types.end() && windowPid(window) == pid_) {
      return window;
    }
  }
  return std::nullopt;
}

WindowFrame RunningDock::clientFrame(xcb_window_t window) {
  WindowFrame frame;
  if (window == XCB_WINDOW_NONE) {
    return frame;
  }
  auto attributes =
      owned(xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, window), nullptr));
  auto geometry = owned(xcb_get_geometry_reply(c_, xcb_get_geometry(c_, window), nullptr));
  auto origin = owned(xcb_translate_coordinates_reply(
      c_, xcb_translate_coordinates(c_, window, root_, 0, 0), nullptr));
  if (!attributes || !geometry || !origin) {
    return frame;
  }
  frame.exists = true;
  frame.viewable = attributes->map_state == XCB_MAP_STATE_VIEWABLE;
  frame.x = origin->dst_x;
  frame.y = origin->dst_y;
  frame.width = geometry->width;
  frame.height = geometry->height;
  return frame;
}

WindowFrame RunningDock::outerFrame(xcb_window_t window) {
  WindowFrame frame = clientFrame(window);
  const auto extents = probe_->cardinals(window, "_NET_FRAME_EXTENTS");  // left, right, top, bottom
  if (frame.exists && extents.size() == 4) {
    frame.x -= static_cast<int>(extents[0]);
    frame.y -= static_cast<int>(extents[2]);
    frame.width += static_cast<int>(extents[0] + extents[1]);
    frame.height += static_cast<int>(extents[2] + extents[3]);
  }
  return frame;
}

WindowFrame RunningDock::dockFrame() {
  return clientFrame(window_);
}

double RunningDock::tileSizeNow() const {
  const auto stored = preferences().copy(kDockDomain, "tilesize");
  const auto number = stored ? stored->number() : std::nullopt;
  return number && std::isfinite(*number) ? *number : kDefaultTileSize;
}

std::vector<ListedTile> RunningDock::tiles() const {
  const auto parsed =
      parseJson(commandOutput("'" + program().string() + "' --list-tiles --json 2>/dev/null"));
  std::vector<ListedTile> result;
  if (!parsed || !parsed->is_array()) {
    return result;
  }
  for (const auto& entry : *parsed) {
    ListedTile tile;
    tile.id = entry.value("id", "");
    tile.section = entry.value("section", "");
    tile.label = entry.value("label", "");
    tile.running = entry.value("running", false);
    tile.active = entry.value("active", false);
    result.push_back(std::move(tile));
  }
  return result;
}

std::optional<ListedTile> RunningDock::tile(std::string_view id) const {
  for (auto& tile : tiles()) {
    if (tile.id == id) {
      return tile;
    }
  }
  return std::nullopt;
}

std::optional<std::pair<int, int>> RunningDock::tileCentre(std::string_view id) {
  std::optional<std::pair<int, int>> centre;
  const auto settled = [&] {
    const auto listed = tiles();
    const double size = tileSizeNow();
    const double t = std::round(size);
    double rowWidth = 0;
    double before = 0;
    double slot = 0;
    bool found = false;
    for (std::size_t i = 0; i < listed.size(); ++i) {
      const double width = halfWidth(listed[i]) ? std::round(size * 0.5) : t + 2;
      if (listed[i].id == id) {
        found = true;
        before = rowWidth;
        slot = width;
      }
      rowWidth += width;
    }
    const WindowFrame frame = dockFrame();
    if (!found || !frame.viewable) {
      return false;
    }
    // At rest the panel is the row plus its insets (never wider than the screen); while
    // magnification is on it is wider on both sides. Either way the row is centred in it. The
    // layout is in points, the frame in pixels.
    const double restingPoints = std::min(rowWidth + 2 * kRowInset, XServer::kWidth / scale_);
    const double magnifiedPoints = restingPoints + 2 * std::ceil(t + 2 + size * 1.25);
    if (frame.width != std::lround(restingPoints * scale_) &&
        frame.width != std::lround(magnifiedPoints * scale_)) {
      return false;
    }
    const double left = frame.x + frame.width * 0.5 - rowWidth * scale_ * 0.5;
    centre = {static_cast<int>(std::lround(left + (before + slot * 0.5) * scale_)),
              static_cast<int>(std::lround(frame.bottom() -
                                           (kGapBelowRow + (t + 2 * kRowMargin) * 0.5) * scale_))};
    return true;
  };
  // Each look runs the listing program: on a loaded machine the row can take a while to agree.
  if (!waitUntil(settled, std::chrono::seconds(20))) {
    return std::nullopt;
  }
  return centre;
}

std::string RunningDock::describeRow() {
  std::ostringstream out;
  out << "tiles:";
  for (const ListedTile& tile : tiles()) {
    out << " " << tile.id;
  }
  out << "; panel " << dockFrame();
  return out.str();
}

std::optional<std::pair<int, int>> RunningDock::tileCentre(std::size_t index) {
  const auto listed = tiles();
  if (index >= listed.size()) {
    return std::nullopt;
  }
  return tileCentre(listed[index].id);
}

void RunningDock::movePointer(int x, int y) {
  xcb_test_fake_input(c_, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root_,
                      static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), 0);
  sync();
}

void RunningDock::clickAt(int x, int y, Button button) {
  movePointer(x, y);
  const auto detail = static_cast<std::uint8_t>(button);
  xcb_test_fake_input(c_, XCB_BUTTON_PRESS, detail, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
  sync();
  xcb_test_fake_input(c_, XCB_BUTTON_RELEASE, detail, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
  sync();
}

void RunningDock::dragFrom(int x, int y, int dx, int dy) {
  movePointer(x, y);
  xcb_test_fake_input(c_, XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
  sync();
  // Relative steps, as a hand moves a mouse; each one a separate event.
  constexpr int kSteps = 10;
  for (int i = 1; i <= kSteps; ++i) {
    const auto step = [&](int total) {
      return static_cast<std::int16_t>(total * i / kSteps - total * (i - 1) / kSteps);
    };
    xcb_test_fake_input(c_, XCB_MOTION_NOTIFY, 1, XCB_CURRENT_TIME, XCB_WINDOW_NONE, step(dx),
                        step(dy), 0);
    sync();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  xcb_test_fake_input(c_, XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
  sync();
}

bool RunningDock::click(std::string_view id, Button button) {
  const auto centre = tileCentre(id);
  if (!centre) {
    return false;
  }
  clickAt(centre->first, centre->second, button);
  return true;
}

bool RunningDock::click(std::size_t index, Button button) {
  const auto centre = tileCentre(index);
  if (!centre) {
    return false;
  }
  clickAt(centre->first, centre->second, button);
  return true;
}

void RunningDock::key(std::uint32_t keysym, bool down) {
  xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(c_);
  xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, keysym);
  const xcb_keycode_t code = codes != nullptr ? codes[0] : XCB_NO_SYMBOL;
  std::free(codes);
  xcb_key_symbols_free(symbols);
  if (code == XCB_NO_SYMBOL) {
    ADD_FAILURE() << "no key produces keysym 0x" << std::hex << keysym;
    return;
  }
  xcb_test_fake_input(c_, down ? XCB_KEY_PRESS : XCB_KEY_RELEASE, code, XCB_CURRENT_TIME,
                      XCB_WINDOW_NONE, 0, 0, 0);
  sync();
}

void RunningDock::pressKey(std::uint32_t keysym) {
  key(keysym, true);
  key(keysym, false);
}

bool RunningDock::keyboardTaken() {
  auto reply = owned(xcb_grab_keyboard_reply(
      c_,
      xcb_grab_keyboard(c_, 0, root_, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
      nullptr));
  if (reply && reply->status == XCB_GRAB_STATUS_SUCCESS) {
    xcb_ungrab_keyboard(c_, XCB_CURRENT_TIME);
    sync();
    return false;
  }
  return reply && reply->status == XCB_GRAB_STATUS_ALREADY_GRABBED;
}

xcb_window_t RunningDock::activeWindow() {
  const auto values = probe_->cardinals(root_, "_NET_ACTIVE_WINDOW");
  return values.empty() ? xcb_window_t{XCB_WINDOW_NONE} : values.front();
}

std::optional<WindowFrame> RunningDock::waitForPopup() {
  std::optional<WindowFrame> frame;
  waitUntil([&] {
    const auto popups = popupWindows();
    if (popups.size() == 1) {
      frame = clientFrame(popups.front());
    }
    return frame.has_value();
  });
  return frame;
}

std::vector<xcb_window_t> RunningDock::popupWindows() {
  std::vector<xcb_window_t> found;
  auto tree = owned(xcb_query_tree_reply(c_, xcb_query_tree(c_, root_), nullptr));
  if (!tree) {
    return found;
  }
  const xcb_window_t* children = xcb_query_tree_children(tree.get());
  for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
    auto attributes = owned(
        xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, children[i]), nullptr));
    if (attributes && attributes->override_redirect &&
        attributes->map_state == XCB_MAP_STATE_VIEWABLE && windowPid(children[i]) == pid_) {
      found.push_back(children[i]);
    }
  }
  return found;
}

xcb_window_t RunningDock::waitForWindow(std::string_view title) {
  xcb_window_t window = XCB_WINDOW_NONE;
  waitUntil([&] {
    const auto found = clientWindows(title);
    window = found.size() == 1 ? found.front() : xcb_window_t{XCB_WINDOW_NONE};
    return window != XCB_WINDOW_NONE && clientFrame(window).viewable;
  });
  return window;
}

std::vector<xcb_window_t> RunningDock::clientWindows(std::string_view title) {
  std::vector<xcb_window_t> found;
  const xcb_atom_t netName = atom("_NET_WM_NAME");
  for (const auto window : probe_->clientList()) {
    for (const xcb_atom_t property : {netName, xcb_atom_t{XCB_ATOM_WM_NAME}}) {
      auto reply = owned(xcb_get_property_reply(
          c_, xcb_get_property(c_, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
          nullptr));
      if (reply && reply->format == 8 && xcb_get_property_value_length(reply.get()) > 0) {
        const std::string_view name(static_cast<const char*>(xcb_get_property_value(reply.get())),
                                    xcb_get_property_value_length(reply.get()));
        if (name == title) {
          found.push_back(window);
        }
        break;
      }
    }
  }
  return found;
}

void RunningDock::sendToRoot(xcb_window_t window, const char* type, std::uint32_t d0,
                             std::uint32_t d1, std::uint32_t d2, std::uint32_t d3,
                             std::uint32_t d4) {
  probe_->sendToRoot(window, type, {d0, d1, d2, d3, d4});
}

std::string RunningDock::logText() const {
  std::ifstream in(log_);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::optional<std::uint32_t> RunningDock::pixel(int x, int y) {
  if (x < 0 || y < 0 || x >= XServer::kWidth || y >= XServer::kHeight) {
    return std::nullopt;
  }
  auto image = owned(xcb_get_image_reply(
      c_,
      xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, root_, static_cast<std::int16_t>(x),
                    static_cast<std::int16_t>(y), 1, 1, ~0u),
      nullptr));
  // The test display is 24 bits deep, stored as 32-bit little-endian pixels.
  if (!image || xcb_get_image_data_length(image.get()) < 4) {
    return std::nullopt;
  }
  const std::uint8_t* data = xcb_get_image_data(image.get());
  return static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[1]) << 8 |
         data[0];
}

bool RunningDock::screenshot(const fs::path& path) const {
  const std::string command = "import -window root '" + path.string() + "' >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

}  // namespace quayline::x11test
