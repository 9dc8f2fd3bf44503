#pragma once

#include <xcb/xcb.h>

#include <deque>
#include <mutex>
#include <optional>
#include <vector>

#include "foundation/Subscription.h"
#include "platform/linux/x11/XConnection.h"

namespace quayline::x11 {

// The order in which windows were last active, newest first, followed on the main thread from
// _NET_ACTIVE_WINDOW and readable from any thread. An application's main window is its window
// that was active most recently.
class ActivationHistory {
 public:
  explicit ActivationHistory(XConnection& connection);

  // The most recently active of `candidates`; nothing when none of them has been active.
  std::optional<xcb_window_t> mostRecent(const std::vector<xcb_window_t>& candidates) const;
  std::optional<xcb_window_t> current() const;

  // Records a window as active now (the reading of _NET_ACTIVE_WINDOW calls it).
  void noteActive(std::optional<xcb_window_t> window);

 private:
  void readActiveWindow();

  XConnection& connection_;
  mutable std::mutex mutex_;
  std::deque<xcb_window_t> order_;
  std::optional<xcb_window_t> current_;
  Subscription events_;
};

}  // namespace quayline::x11
