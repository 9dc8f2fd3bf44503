#pragma once

// The X display a benchmark runs on (DISPLAY), through a connection of its own.
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace quayline::bench {

inline xcb_atom_t internAtom(xcb_connection_t* c, const char* name) {
  auto* reply = xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t result = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return result;
}

// A property of 32-bit values (cardinals, windows, atoms); empty when absent.
inline std::vector<std::uint32_t> cardinalProperty(xcb_connection_t* c, xcb_window_t window,
                                                   xcb_atom_t property) {
  auto* reply = xcb_get_property_reply(
      c, xcb_get_property(c, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024), nullptr);
  std::vector<std::uint32_t> values;
  if (reply && reply->format == 32) {
    const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
    values.assign(data, data + xcb_get_property_value_length(reply) / 4);
  }
  std::free(reply);
  return values;
}

class Display {
 public:
  Display() : c_(xcb_connect(nullptr, nullptr)) {
    if (usable()) {
      root_ = screen()->root;
    }
  }
  ~Display() { xcb_disconnect(c_); }
  Display(const Display&) = delete;
  Display& operator=(const Display&) = delete;

  bool usable() const { return xcb_connection_has_error(c_) == 0; }
  const xcb_screen_t* screen() const { return xcb_setup_roots_iterator(xcb_get_setup(c_)).data; }

  std::vector<std::uint32_t> clientList() { return cardinals(root_, atom("_NET_CLIENT_LIST")); }

  // Whether a dock-type client is mapped.
  bool dockMapped() {
    const xcb_atom_t windowType = atom("_NET_WM_WINDOW_TYPE");
    const xcb_atom_t dock = atom("_NET_WM_WINDOW_TYPE_DOCK");
    for (const auto window : clientList()) {
      const auto types = cardinals(window, windowType);
      if (std::find(types.begin(), types.end(), dock) == types.end()) {
        continue;
      }
      auto* attributes =
          xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, window), nullptr);
      const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
      std::free(attributes);
      if (viewable) {
        return true;
      }
    }
    return false;
  }

  void warpPointer(int x, int y) {
    xcb_warp_pointer(c_, XCB_WINDOW_NONE, root_, 0, 0, 0, 0, static_cast<std::int16_t>(x),
                     static_cast<std::int16_t>(y));
    std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr));
  }

 private:
  xcb_atom_t atom(const char* name) { return internAtom(c_, name); }
  std::vector<std::uint32_t> cardinals(xcb_window_t window, xcb_atom_t property) {
    return cardinalProperty(c_, window, property);
  }

  xcb_connection_t* c_;
  xcb_window_t root_ = XCB_WINDOW_NONE;
};

}  // namespace quayline::bench
