// A small X client for the integration tests: opens windows with the title, class, type and
// geometry given on the command line, closes a window when asked to (WM_DELETE_WINDOW) and exits
// when none is left.
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xcb_icccm.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

struct Options {
  std::string title = "Test Window";
  std::string instance = "quayline-test-client";
  std::string className = "QuaylineTestClient";
  std::string type = "normal";
  int windows = 1;
  bool minimize = false;
  bool pid = true;
  bool invalidTitle = false;
  bool legacyTitle = false;  // WM_NAME only
  int width = 320;
  int height = 200;
  bool position = false;
  int x = 0;
  int y = 0;
  // How long the windows stay unmapped after the program starts, like an application that takes
  // its time to open its first window.
  int delayMs = 0;
  // Space reserved along the root's left, right, top and bottom edges, as a panel does; each
  // strip as long as the window's side.
  bool strut = false;
  std::array<std::uint32_t, 4> strutWidths{};
  // The class of every window after the first, when they differ from it.
  std::string laterInstance;
  std::string laterClassName;
  // _NET_WM_ICON: square images of one colour each; a last one cut short when truncated.
  std::vector<std::pair<std::uint32_t, std::uint32_t>> icons;  // side, ARGB
  bool truncatedIcon = false;
  // The windows' background (0xRRGGBB on the default TrueColor visual); white when not given.
  std::optional<std::uint32_t> colour;
  // Managed from the start as minimized, never shown (ICCCM initial state).
  bool iconic = false;
};

[[noreturn]] void usage() {
  std::fputs(
      "usage: quayline-test-client [--title T] [--class INSTANCE,CLASS]\n"
      "  [--type normal|dialog|utility|dock|none] [--windows N] [--minimize] [--no-pid]\n"
      "  [--size WxH] [--pos X,Y] [--invalid-utf8-title] [--legacy-title]\n"
      "  [--delay-ms N] [--strut LEFT,RIGHT,TOP,BOTTOM] [--later-class INSTANCE,CLASS]\n"
      "  [--icon SIDE:AARRGGBB]... [--truncated-icon] [--colour RRGGBB] [--iconic]\n",
      stderr);
  std::exit(2);
}

Options parse(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    const auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        usage();
      }
      return argv[++i];
    };
    // "instance,class" into its two parts.
    const auto classes = [&](std::string& instance, std::string& className) {
      const std::string both = value();
      const auto comma = both.find(',');
      if (comma == std::string::npos) {
        usage();
      }
      instance = both.substr(0, comma);
      className = both.substr(comma + 1);
    };
    if (argument == "--title") {
      options.title = value();
    } else if (argument == "--class") {
      classes(options.instance, options.className);
    } else if (argument == "--later-class") {
      classes(options.laterInstance, options.laterClassName);
    } else if (argument == "--icon") {
      unsigned side = 0;
      unsigned argb = 0;
      if (std::sscanf(value().c_str(), "%u:%x", &side, &argb) != 2) {
        usage();
      }
      options.icons.emplace_back(side, argb);
    } else if (argument == "--truncated-icon") {
      options.truncatedIcon = true;
    } else if (argument == "--type") {
      options.type = value();
    } else if (argument == "--windows") {
      options.windows = std::atoi(value().c_str());
    } else if (argument == "--minimize") {
      options.minimize = true;
    } else if (argument == "--no-pid") {
      options.pid = false;
    } else if (argument == "--invalid-utf8-title") {
      options.invalidTitle = true;
    } else if (argument == "--legacy-title") {
      options.legacyTitle = true;
    } else if (argument == "--size") {
      if (std::sscanf(value().c_str(), "%dx%d", &options.width, &options.height) != 2) {
        usage();
      }
    } else if (argument == "--pos") {
      if (std::sscanf(value().c_str(), "%d,%d", &options.x, &options.y) != 2) {
        usage();
      }
      options.position = true;
    } else if (argument == "--strut") {
      auto& w = options.strutWidths;
      if (std::sscanf(value().c_str(), "%u,%u,%u,%u", &w[0], &w[1], &w[2], &w[3]) != 4) {
        usage();
      }
      options.strut = true;
    } else if (argument == "--delay-ms") {
      options.delayMs = std::atoi(value().c_str());
    } else if (argument == "--colour") {
      options.colour = static_cast<std::uint32_t>(std::strtoul(value().c_str(), nullptr, 16));
    } else if (argument == "--iconic") {
      options.iconic = true;
    } else if (argument.starts_with("--profile-directory=")) {
      // Standing in for the browser, which is asked this way for a window in a profile.
    } else {
      usage();
    }
  }
  return options;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
  auto* reply = xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t result = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
  std::free(reply);
  return result;
}

void setProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                 std::uint8_t format, const void* data, std::uint32_t length) {
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, property, type, format, length, data);
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = parse(argc, argv);
  int screenNumber = 0;
  xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
  if (xcb_connection_has_error(c)) {
    std::fputs("quayline-test-client: cannot connect to the X server\n", stderr);
    return 1;
  }
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
  for (int i = 0; i < screenNumber; ++i) {
    xcb_screen_next(&screens);
  }
  xcb_screen_t* screen = screens.data;

  const xcb_atom_t utf8 = atom(c, "UTF8_STRING");
  const xcb_atom_t netName = atom(c, "_NET_WM_NAME");
  const xcb_atom_t netPid = atom(c, "_NET_WM_PID");
  const xcb_atom_t netType = atom(c, "_NET_WM_WINDOW_TYPE");
  const xcb_atom_t protocols = atom(c, "WM_PROTOCOLS");
  const xcb_atom_t deleteWindow = atom(c, "WM_DELETE_WINDOW");
  const xcb_atom_t changeState = atom(c, "WM_CHANGE_STATE");
  const xcb_atom_t strutPartial = atom(c, "_NET_WM_STRUT_PARTIAL");
  xcb_atom_t type = XCB_ATOM_NONE;
  if (options.type != "none") {
    std::string name = "_NET_WM_WINDOW_TYPE_";
    for (const char ch : options.type) {
      name.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(ch))));
    }
    type = atom(c, name.c_str());
  }

  std::string wmClass = options.instance;
  wmClass.push_back('\0');
  wmClass += options.className;
  wmClass.push_back('\0');
  std::string laterClass = wmClass;
  if (!options.laterInstance.empty()) {
    laterClass = options.laterInstance + '\0' + options.laterClassName + '\0';
  }
  const std::uint32_t pid = static_cast<std::uint32_t>(::getpid());
  std::vector<std::uint32_t> icon;
  for (const auto& [side, argb] : options.icons) {
    icon.push_back(side);
    icon.push_back(side);
    icon.resize(icon.size() + std::size_t{side} * side, argb);
  }
  if (options.truncatedIcon) {
    icon.insert(icon.end(), {64, 64, 0xFFFFFFFF});
  }
  const xcb_atom_t netIcon = atom(c, "_NET_WM_ICON");

  if (options.delayMs > 0) {
    ::usleep(static_cast<useconds_t>(options.delayMs) * 1000);
  }
  std::set<xcb_window_t> open;
  std::set<xcb_window_t> minimized;  // each window minimizes itself once, when first shown
  for (int i = 0; i < options.windows; ++i) {
    const xcb_window_t window = xcb_generate_id(c);
    const std::uint32_t values[] = {options.colour.value_or(screen->white_pixel),
                                    XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root,
                      static_cast<std::int16_t>(options.x), static_cast<std::int16_t>(options.y),
                      static_cast<std::uint16_t>(options.width),
                      static_cast<std::uint16_t>(options.height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    std::string title =
        options.windows > 1 ? options.title + " " + std::to_string(i + 1) : options.title;
    if (options.invalidTitle) {
      title = "Bad \xff\xfe title \xc3";
    }
    const auto length = static_cast<std::uint32_t>(title.size());
    if (!options.legacyTitle) {
      setProperty(c, window, netName, utf8, 8, title.data(), length);
    }
    setProperty(c, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, title.data(), length);
    const std::string& windowClass = i == 0 ? wmClass : laterClass;
    setProperty(c, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, windowClass.data(),
                static_cast<std::uint32_t>(windowClass.size()));
    if (!icon.empty()) {
      setProperty(c, window, netIcon, XCB_ATOM_CARDINAL, 32, icon.data(),
                  static_cast<std::uint32_t>(icon.size()));
    }
    if (options.pid) {
      setProperty(c, window, netPid, XCB_ATOM_CARDINAL, 32, &pid, 1);
    }
    // As toolkits do: the launcher's startup id goes on the window the launch opens.
    if (const char* startupId = std::getenv("DESKTOP_STARTUP_ID"); startupId && *startupId) {
      setProperty(c, window, atom(c, "_NET_STARTUP_ID"), utf8, 8, startupId,
                  static_cast<std::uint32_t>(std::strlen(startupId)));
    }
    if (type != XCB_ATOM_NONE) {
      setProperty(c, window, netType, XCB_ATOM_ATOM, 32, &type, 1);
    }
    setProperty(c, window, protocols, XCB_ATOM_ATOM, 32, &deleteWindow, 1);
    if (options.strut) {
      const auto& w = options.strutWidths;
      const auto x0 = static_cast<std::uint32_t>(options.x);
      const auto y0 = static_cast<std::uint32_t>(options.y);
      const auto x1 = x0 + static_cast<std::uint32_t>(options.width) - 1;
      const auto y1 = y0 + static_cast<std::uint32_t>(options.height) - 1;
      const std::array<std::uint32_t, 12> partial{w[0], w[1], w[2], w[3], y0, y1,
                                                  y0,   y1,   x0,   x1,   x0, x1};
      setProperty(c, window, strutPartial, XCB_ATOM_CARDINAL, 32, partial.data(), 12);
    }
    if (options.position) {
      // Without a user-specified position the window manager places the window itself.
      xcb_size_hints_t hints{};
      xcb_icccm_size_hints_set_position(&hints, 1, options.x, options.y);
      xcb_icccm_size_hints_set_size(&hints, 1, options.width, options.height);
      xcb_icccm_set_wm_normal_hints(c, window, &hints);
    }
    if (options.iconic) {
      xcb_icccm_wm_hints_t hints{};
      xcb_icccm_wm_hints_set_iconic(&hints);
      xcb_icccm_set_wm_hints(c, window, &hints);
    }
    xcb_map_window(c, window);
    open.insert(window);
  }
  xcb_flush(c);

  while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
    const auto kind = event->response_type & ~0x80;
    const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
    if (kind == XCB_MAP_NOTIFY && options.minimize && minimized.insert(map->window).second) {
      xcb_client_message_event_t message{};
      message.response_type = XCB_CLIENT_MESSAGE;
      message.format = 32;
      message.window = map->window;
      message.type = changeState;
      message.data.data32[0] = 3;  // IconicState
      xcb_send_event(c, 0, screen->root,
                     XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                     reinterpret_cast<const char*>(&message));
      xcb_flush(c);
    } else if (kind == XCB_CLIENT_MESSAGE) {
      const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
      if (message->type == protocols && message->data.data32[0] == deleteWindow &&
          open.erase(message->window) > 0) {
        xcb_destroy_window(c, message->window);
        xcb_flush(c);
        if (open.empty()) {
          std::free(event);
          break;
        }
      }
    }
    std::free(event);
  }
  // A round trip, so the destruction reaches the server before we disconnect.
  std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
  xcb_disconnect(c);
  return 0;
}
