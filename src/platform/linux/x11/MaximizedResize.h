#pragma once

#include <xcb/xcb.h>

#include <map>
#include <optional>

#include "foundation/Geometry.h"
#include "foundation/Subscription.h"
#include "platform/linux/x11/WindowQuery.h"
#include "platform/linux/x11/XConnection.h"

namespace quayline::x11 {

// Gives a maximized window a new geometry. Window managers ignore geometry requests while a
// window is maximized and restore its earlier geometry when it leaves that state, so the window
// first leaves it and the geometry follows once the manager has confirmed the change.
class MaximizedResize {
 public:
  explicit MaximizedResize(XConnection& connection);
  MaximizedResize(const MaximizedResize&) = delete;
  MaximizedResize& operator=(const MaximizedResize&) = delete;

  // The frame's origin (root coordinates) and size. The frame's borders change with the state,
  // so the client's size is worked out only once the window has left it. A newer request for
  // the same window replaces one still waiting.
  void request(xcb_window_t window, std::optional<Point> frameOrigin, Size frameSize);

  std::size_t pendingCount() const { return pending_.size(); }

 private:
  struct Geometry {
    std::optional<Point> frameOrigin;
    Size frameSize;
    bool sent = false;  // sent once the window left the maximized state
  };
  void stateChanged(xcb_window_t window);
  void extentsChanged(xcb_window_t window);
  std::optional<WindowFacts> read(xcb_window_t window);
  void send(xcb_window_t window, const Geometry& geometry, const WindowFacts& facts);

  XConnection& connection_;
  std::map<xcb_window_t, Geometry> pending_;
  Subscription events_;
};

}  // namespace quayline::x11
