#include "platform/linux/x11/X11DesktopActions.h"

#include <chrono>

#include "platform/linux/x11/XConnection.h"

namespace quayline::x11 {

bool X11DesktopActions::showsDesktop() {
  xcb_connection_t* c = connection_.raw();
  const auto reply = connection_.take<xcb_get_property_reply_t>(
      xcb_get_property(c, 0, connection_.root(), connection_.atom(Atom::_NET_SHOWING_DESKTOP),
                       XCB_ATOM_CARDINAL, 0, 1)
          .sequence,
      std::chrono::steady_clock::now() + std::chrono::seconds(1));
  return reply && reply->format == 32 && xcb_get_property_value_length(reply.get()) >= 4 &&
         *static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get())) != 0;
}

void X11DesktopActions::toggleShowDesktop() {
  // Sent with the root as the event window: openbox ignores the request with None there.
  connection_.sendToRoot(connection_.root(), Atom::_NET_SHOWING_DESKTOP,
                         {showsDesktop() ? 0u : 1u, 0, 0, 0, 0});
  connection_.flush();
}

void X11DesktopActions::showWindowOverview() {
  if (overview_) {
    overview_();
  }
}

std::optional<std::string> X11DesktopActions::windowOverviewUnavailable() const {
  if (overview_) {
    return std::nullopt;
  }
  return "the window overview is not part of this version yet";
}

std::optional<std::string> X11DesktopActions::stageManagerUnavailable() const {
  return "Linux desktops have no Stage Manager";
}

}  // namespace quayline::x11
