#include "platform/linux/x11/Atoms.h"

#include <cstring>

#include "platform/linux/x11/XReply.h"

namespace quayline::x11 {

namespace {
constexpr std::array<const char*, static_cast<std::size_t>(Atom::count)> kNames{{
#define QUAYLINE_X11_ATOM_NAME(name) #name,
    QUAYLINE_X11_ATOMS(QUAYLINE_X11_ATOM_NAME)
#undef QUAYLINE_X11_ATOM_NAME
}};
}  // namespace

void Atoms::intern(xcb_connection_t* connection) {
  std::array<xcb_intern_atom_cookie_t, kNames.size()> cookies{};
  for (std::size_t i = 0; i < kNames.size(); ++i) {
    cookies[i] = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(kNames[i])),
                                 kNames[i]);
  }
  for (std::size_t i = 0; i < kNames.size(); ++i) {
    XReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookies[i], nullptr));
    values_[i] = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
  }
}

}  // namespace quayline::x11
