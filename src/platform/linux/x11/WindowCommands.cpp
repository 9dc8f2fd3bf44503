#include "platform/linux/x11/WindowCommands.h"

#include <cmath>

namespace quayline::x11::WindowCommands {

namespace {
constexpr std::uint32_t kSourcePager = 2;
constexpr std::uint32_t kIconicState = 3;

std::uint32_t pixels(double value) {
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(value)));
}
}  // namespace

void activate(XConnection& connection, xcb_window_t window) {
  connection.sendToRoot(window, Atom::_NET_ACTIVE_WINDOW,
                        {kSourcePager, connection.currentTime(), XCB_WINDOW_NONE, 0, 0});
  connection.flush();
}

void iconify(XConnection& connection, xcb_window_t window) {
  connection.sendToRoot(window, Atom::WM_CHANGE_STATE, {kIconicState, 0, 0, 0, 0});
  connection.flush();
}

void restore(XConnection& connection, xcb_window_t window) {
  xcb_map_window(connection.raw(), window);
  connection.flush();
}

void close(XConnection& connection, xcb_window_t window) {
  connection.sendToRoot(window, Atom::_NET_CLOSE_WINDOW,
                        {connection.currentTime(), kSourcePager, 0, 0, 0});
  connection.flush();
}

void unmaximize(XConnection& connection, xcb_window_t window) {
  constexpr std::uint32_t kRemove = 0;
  connection.sendToRoot(window, Atom::_NET_WM_STATE,
                        {kRemove, connection.atom(Atom::_NET_WM_STATE_MAXIMIZED_VERT),
                         connection.atom(Atom::_NET_WM_STATE_MAXIMIZED_HORZ), kSourcePager, 0});
  connection.flush();
}

void moveResize(XConnection& connection, xcb_window_t window, std::optional<Point> frameOrigin,
                std::optional<Size> clientSize) {
  // Bits 8-11 say which of x, y, width and height are given; bits 12-13 carry the source; the
  // low byte 0 keeps the window's own gravity.
  std::uint32_t flags = kSourcePager << 12;
  std::array<std::uint32_t, 5> data{};
  if (frameOrigin) {
    flags |= (1u << 8) | (1u << 9);
    data[1] = pixels(frameOrigin->x);
    data[2] = pixels(frameOrigin->y);
  }
  if (clientSize) {
    flags |= (1u << 10) | (1u << 11);
    data[3] = pixels(clientSize->width);
    data[4] = pixels(clientSize->height);
  }
  data[0] = flags;
  connection.sendToRoot(window, Atom::_NET_MOVERESIZE_WINDOW, data);
  connection.flush();
}

}  // namespace quayline::x11::WindowCommands
