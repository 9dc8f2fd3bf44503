#include "platform/linux/x11/MaximizedResize.h"

#include <QTimer>
#include <cmath>

#include "platform/linux/x11/Conversions.h"
#include "platform/linux/x11/WindowCommands.h"

namespace quayline::x11 {

namespace {

constexpr auto kReadTimeout = std::chrono::milliseconds(500);

bool near(double a, double b) {
  return std::abs(a - b) < 0.5;
}

}  // namespace

bool MaximizedResize::reached(const Rect& frame, const Request& request) {
  const bool placed = !request.frameOrigin || (near(frame.minX(), request.frameOrigin->x) &&
                                               near(frame.minY(), request.frameOrigin->y));
  return placed && near(frame.width(), request.frameSize.width) &&
         near(frame.height(), request.frameSize.height);
}

MaximizedResize::MaximizedResize(XConnection& connection) : connection_(connection) {
  events_ = connection_.listen([this](const xcb_generic_event_t& event) {
    const std::uint8_t type = event.response_type & 0x7f;
    if (type == XCB_PROPERTY_NOTIFY) {
      const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
      if (notify.atom == connection_.atom(Atom::_NET_WM_STATE) ||
          notify.atom == connection_.atom(Atom::_NET_FRAME_EXTENTS)) {
        changed(notify.window);
      }
    } else if (type == XCB_CONFIGURE_NOTIFY) {
      changed(reinterpret_cast<const xcb_configure_notify_event_t&>(event).window);
    } else if (type == XCB_DESTROY_NOTIFY) {
      pending_.erase(reinterpret_cast<const xcb_destroy_notify_event_t&>(event).window);
    }
  });
}

void MaximizedResize::request(xcb_window_t window, std::optional<Point> frameOrigin,
                              Size frameSize) {
  const auto found = pending_.find(window);
  if (found != pending_.end()) {
    // Still settling: a request made from what the window looked like in the middle of the
    // manager's steps must not race the one under way.
    return;
  }
  const std::uint64_t generation = nextGeneration_++;
  pending_.insert_or_assign(window, Request{frameOrigin, frameSize, generation});
  connection_.selectInput(window, XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY);
  WindowCommands::unmaximize(connection_, window);
  // A manager still in the middle of its own maximize may drop the request: the window must not
  // stay followed for ever, or no later request for it would be sent.
  QTimer::singleShot(settleMilliseconds, &context_, [this, window, generation] {
    const auto unanswered = pending_.find(window);
    if (unanswered != pending_.end() && unanswered->second.generation == generation &&
        !unanswered->second.left) {
      pending_.erase(unanswered);
    }
  });
}

void MaximizedResize::changed(xcb_window_t window) {
  const auto found = pending_.find(window);
  if (found == pending_.end() || found->second.scheduled) {
    return;
  }
  // Settled after the event: reading the window waits for the server, and the events that
  // arrive meanwhile must only ask for one more pass, which then reads what they changed.
  found->second.scheduled = true;
  QTimer::singleShot(0, &context_, [this, window] { settle(window); });
}

void MaximizedResize::settle(xcb_window_t window) {
  auto found = pending_.find(window);
  if (found == pending_.end()) {
    return;
  }
  found->second.scheduled = false;
  const std::uint64_t generation = found->second.generation;
  const auto facts = read(window);
  found = pending_.find(window);
  if (found == pending_.end() || found->second.generation != generation) {
    return;
  }
  if (!facts) {
    pending_.erase(found);
    return;
  }
  Request& request = found->second;
  const bool maximized = facts->hasState(connection_.atom(Atom::_NET_WM_STATE_MAXIMIZED_VERT)) ||
                         facts->hasState(connection_.atom(Atom::_NET_WM_STATE_MAXIMIZED_HORZ));
  if (maximized) {
    // Maximized again after it had left the state: the user's choice now, not ours.
    if (request.left) {
      pending_.erase(found);
    }
    return;
  }
  // Every change the manager makes gets the geometry again unless the frame is already there,
  // worked out from the borders the frame has now: the manager reports those late, so a frame
  // that looks right may turn out wrong once they arrive.
  const auto frame = facts->frame();
  if (!frame || !reached(*frame, request)) {
    WindowCommands::moveResize(connection_, window, request.frameOrigin,
                               clientSizeFor(request.frameSize, facts->extents));
  }
  if (!request.left) {
    request.left = true;
    QTimer::singleShot(settleMilliseconds, &context_, [this, window, generation] {
      const auto settled = pending_.find(window);
      if (settled != pending_.end() && settled->second.generation == generation) {
        pending_.erase(settled);
      }
    });
  }
}

std::optional<WindowFacts> MaximizedResize::read(xcb_window_t window) {
  WindowQuery query(connection_, std::chrono::steady_clock::now() + kReadTimeout);
  const auto index = query.requestWindow(window, kExistence | kState | kExtents | kGeometry);
  query.collect();
  if (!query.window(index).exists) {
    return std::nullopt;
  }
  return query.window(index);
}

}  // namespace quayline::x11
