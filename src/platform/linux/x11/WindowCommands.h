#pragma once

#include <xcb/xcb.h>

#include <optional>

#include "foundation/Geometry.h"
#include "platform/linux/x11/XConnection.h"

// Requests to the window manager about other clients' windows, as a pager sends them (source
// indication 2). Those that carry a time carry the server's current one (a round trip): managers
// that prevent focus stealing still check it against the user's last interaction.
namespace quayline::x11::WindowCommands {

// Raises and focuses, restoring a minimized window.
void activate(XConnection& connection, xcb_window_t window);
// Minimizes (ICCCM IconicState).
void iconify(XConnection& connection, xcb_window_t window);
// Brings a minimized window back: the ICCCM way, by mapping it again.
void restore(XConnection& connection, xcb_window_t window);
// Asks the client to close the window, as its own close button would.
void close(XConnection& connection, xcb_window_t window);
// Takes the window out of its maximized state (both directions).
void unmaximize(XConnection& connection, xcb_window_t window);
// Moves the window manager's frame to `frameOrigin` (root coordinates) and/or resizes the client
// to `clientSize`.
void moveResize(XConnection& connection, xcb_window_t window, std::optional<Point> frameOrigin,
                std::optional<Size> clientSize);

}  // namespace quayline::x11::WindowCommands
