#pragma once

#include <xcb/xcb.h>

#include <QObject>
#include <cstdint>
#include <map>
#include <optional>

#include "foundation/Geometry.h"
#include "foundation/Subscription.h"
#include "platform/linux/x11/WindowQuery.h"
#include "platform/linux/x11/XConnection.h"

namespace quayline::x11 {

// Gives a maximized window a new geometry. Window managers ignore geometry requests while a
// window is maximized, restore its earlier geometry when it leaves that state and give its frame
// its borders back, in steps of their own. So the window first leaves the state; then, after each
// change of its state or frame the manager reports during a few seconds after the window left the
// state, the geometry is sent again from what the window is at that moment when its frame is not
// where it was asked to be.
class MaximizedResize {
 public:
  // How long a request waits for the window to leave the maximized state, and how long changes
  // of the frame are followed once it has.
  static constexpr int settleMilliseconds = 3000;

  explicit MaximizedResize(XConnection& connection);
  MaximizedResize(const MaximizedResize&) = delete;
  MaximizedResize& operator=(const MaximizedResize&) = delete;

  // The frame's origin (root coordinates) and size. Requests for a window whose geometry is still
  // being settled are dropped: they were worked out from the window in mid-change.
  void request(xcb_window_t window, std::optional<Point> frameOrigin, Size frameSize);

  // Whether the window's geometry is still being settled: geometry requests for it go here.
  bool follows(xcb_window_t window) const { return pending_.contains(window); }

 private:
  struct Request {
    std::optional<Point> frameOrigin;
    Size frameSize;
    std::uint64_t generation = 0;
    bool left = false;       // the window has left the maximized state
    bool scheduled = false;  // a settling pass is posted
  };
  void changed(xcb_window_t window);
  void settle(xcb_window_t window);
  std::optional<WindowFacts> read(xcb_window_t window);
  static bool reached(const Rect& frame, const Request& request);

  XConnection& connection_;
  std::map<xcb_window_t, Request> pending_;
  std::uint64_t nextGeneration_ = 0;
  QObject context_;  // owns the posted passes, so none runs after this object is gone
  Subscription events_;
};

}  // namespace quayline::x11
