#include "platform/linux/x11/MaximizedResize.h"

#include <algorithm>

#include "platform/linux/x11/Conversions.h"
#include "platform/linux/x11/WindowCommands.h"
#include "platform/linux/x11/WindowQuery.h"

namespace quayline::x11 {

namespace {
constexpr auto kStateReadTimeout = std::chrono::milliseconds(500);
}

MaximizedResize::MaximizedResize(XConnection& connection) : connection_(connection) {
  events_ = connection_.listen([this](const xcb_generic_event_t& event) {
    const std::uint8_t type = event.response_type & 0x7f;
    if (type == XCB_PROPERTY_NOTIFY) {
      const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
      if (notify.atom == connection_.atom(Atom::_NET_WM_STATE)) {
        stateChanged(notify.window);
      } else if (notify.atom == connection_.atom(Atom::_NET_FRAME_EXTENTS)) {
        extentsChanged(notify.window);
      }
    } else if (type == XCB_DESTROY_NOTIFY) {
      pending_.erase(reinterpret_cast<const xcb_destroy_notify_event_t&>(event).window);
    }
  });
}

void MaximizedResize::request(xcb_window_t window, std::optional<Point> frameOrigin,
                              Size frameSize) {
  pending_.insert_or_assign(window, Geometry{frameOrigin, frameSize});
  connection_.selectInput(window, XCB_EVENT_MASK_PROPERTY_CHANGE);
  WindowCommands::unmaximize(connection_, window);
}

void MaximizedResize::stateChanged(xcb_window_t window) {
  const auto found = pending_.find(window);
  if (found == pending_.end()) {
    return;
  }
  if (found->second.sent) {
    // The window changed state again (the user maximized it anew): the request is over.
    pending_.erase(found);
    return;
  }
  const auto facts = read(window);
  if (!facts) {
    pending_.erase(found);
    return;
  }
  if (facts->hasState(connection_.atom(Atom::_NET_WM_STATE_MAXIMIZED_VERT)) ||
      facts->hasState(connection_.atom(Atom::_NET_WM_STATE_MAXIMIZED_HORZ))) {
    return;
  }
  send(window, found->second, *facts);
  // The manager gives the frame its borders back a moment later; the size then follows once
  // more.
  found->second.sent = true;
}

void MaximizedResize::extentsChanged(xcb_window_t window) {
  const auto found = pending_.find(window);
  if (found == pending_.end() || !found->second.sent) {
    return;
  }
  const Geometry geometry = found->second;
  pending_.erase(found);
  if (const auto facts = read(window)) {
    send(window, geometry, *facts);
  }
}

std::optional<WindowFacts> MaximizedResize::read(xcb_window_t window) {
  WindowQuery query(connection_, std::chrono::steady_clock::now() + kStateReadTimeout);
  const auto index = query.requestWindow(window, kExistence | kState | kExtents);
  query.collect();
  if (!query.window(index).exists) {
    return std::nullopt;
  }
  return query.window(index);
}

void MaximizedResize::send(xcb_window_t window, const Geometry& geometry,
                           const WindowFacts& facts) {
  WindowCommands::moveResize(connection_, window, geometry.frameOrigin,
                             clientSizeFor(geometry.frameSize, facts.extents));
}

}  // namespace quayline::x11
