#include "platform/linux/x11/X11SessionChecks.h"

#include <algorithm>
#include <optional>
#include <span>

namespace quayline::x11 {

namespace {

constexpr char kXwaylandExtension[] = "XWAYLAND";

std::optional<xcb_window_t> onlyWindow(const xcb_get_property_reply_t* reply) {
  if (reply == nullptr || reply->type != XCB_ATOM_WINDOW || reply->format != 32 ||
      xcb_get_property_value_length(reply) != 4) {
    return std::nullopt;
  }
  return *static_cast<const xcb_window_t*>(xcb_get_property_value(reply));
}

std::span<const xcb_atom_t> atoms(const xcb_get_property_reply_t* reply) {
  if (reply == nullptr || reply->type != XCB_ATOM_ATOM || reply->format != 32) {
    return {};
  }
  return {static_cast<const xcb_atom_t*>(xcb_get_property_value(reply)),
          static_cast<std::size_t>(xcb_get_property_value_length(reply)) / 4};
}

}  // namespace

SessionFacts readSessionFacts(XConnection& connection, Deadline deadline) {
  xcb_connection_t* c = connection.raw();
  const xcb_window_t root = connection.root();
  const xcb_atom_t check = connection.atom(Atom::_NET_SUPPORTING_WM_CHECK);
  // Every request first, then every reply.
  const auto checkCookie = xcb_get_property(c, 0, root, check, XCB_ATOM_WINDOW, 0, 1);
  const auto supportedCookie =
      xcb_get_property(c, 0, root, connection.atom(Atom::_NET_SUPPORTED), XCB_ATOM_ATOM, 0, 4096);
  const auto xwaylandCookie =
      xcb_query_extension(c, sizeof kXwaylandExtension - 1, kXwaylandExtension);
  const auto imageCookie =
      xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, root, 0, 0, 1, 1, ~std::uint32_t{0});

  SessionFacts facts;
  const auto rootCheck = connection.take<xcb_get_property_reply_t>(checkCookie.sequence, deadline);
  const auto supported =
      connection.take<xcb_get_property_reply_t>(supportedCookie.sequence, deadline);
  const auto xwayland =
      connection.take<xcb_query_extension_reply_t>(xwaylandCookie.sequence, deadline);
  XReply<xcb_generic_error_t> imageError;
  const auto image =
      connection.take<xcb_get_image_reply_t>(imageCookie.sequence, deadline, &imageError);

  facts.xwayland = xwayland && xwayland->present;
  facts.rootImageReadable = image != nullptr;
  facts.untrusted = imageError && imageError->error_code == XCB_ACCESS;
  const auto listed = atoms(supported.get());
  const auto supports = [&](Atom atom) {
    return std::ranges::find(listed, connection.atom(atom)) != listed.end();
  };
  facts.windowManagerListsWindows =
      supports(Atom::_NET_CLIENT_LIST) && supports(Atom::_NET_ACTIVE_WINDOW);

  if (const auto window = onlyWindow(rootCheck.get()); window && *window != XCB_WINDOW_NONE) {
    // A stale window answers BadWindow, which leaves the reply empty.
    const auto own = connection.take<xcb_get_property_reply_t>(
        xcb_get_property(c, 0, *window, check, XCB_ATOM_WINDOW, 0, 1).sequence, deadline);
    facts.windowManagerAnswers = onlyWindow(own.get()) == window;
  }
  return facts;
}

}  // namespace quayline::x11
