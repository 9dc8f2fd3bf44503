#pragma once

#include <xcb/xcb.h>

#include <array>
#include <cstddef>

namespace quayline::x11 {

// Every atom the adapters use, interned once per connection.
#define QUAYLINE_X11_ATOMS(X)          \
  X(UTF8_STRING)                       \
  X(WM_STATE)                          \
  X(WM_CHANGE_STATE)                   \
  X(WM_PROTOCOLS)                      \
  X(WM_DELETE_WINDOW)                  \
  X(WM_CLIENT_LEADER)                  \
  X(_NET_SUPPORTED)                    \
  X(_NET_SUPPORTING_WM_CHECK)          \
  X(_NET_CLIENT_LIST)                  \
  X(_NET_CLIENT_LIST_STACKING)         \
  X(_NET_ACTIVE_WINDOW)                \
  X(_NET_CURRENT_DESKTOP)              \
  X(_NET_SHOWING_DESKTOP)              \
  X(_NET_WM_PID)                       \
  X(_NET_WM_ICON)                      \
  X(_NET_STARTUP_ID)                   \
  X(_GTK_APPLICATION_ID)               \
  X(_KDE_NET_WM_DESKTOP_FILE)          \
  X(_NET_WM_NAME)                      \
  X(_NET_WM_STATE)                     \
  X(_NET_WM_STATE_HIDDEN)              \
  X(_NET_WM_STATE_MAXIMIZED_VERT)      \
  X(_NET_WM_STATE_MAXIMIZED_HORZ)      \
  X(_NET_WM_WINDOW_TYPE)               \
  X(_NET_WM_WINDOW_TYPE_NORMAL)        \
  X(_NET_WM_WINDOW_TYPE_DIALOG)        \
  X(_NET_WM_WINDOW_TYPE_UTILITY)       \
  X(_NET_WM_WINDOW_TYPE_TOOLBAR)       \
  X(_NET_WM_WINDOW_TYPE_MENU)          \
  X(_NET_WM_WINDOW_TYPE_SPLASH)        \
  X(_NET_WM_WINDOW_TYPE_DOCK)          \
  X(_NET_WM_WINDOW_TYPE_DESKTOP)       \
  X(_NET_WM_WINDOW_TYPE_NOTIFICATION)  \
  X(_NET_WM_WINDOW_TYPE_DROPDOWN_MENU) \
  X(_NET_WM_WINDOW_TYPE_POPUP_MENU)    \
  X(_NET_WM_WINDOW_TYPE_TOOLTIP)       \
  X(_NET_WM_WINDOW_TYPE_COMBO)         \
  X(_NET_WM_WINDOW_TYPE_DND)           \
  X(_NET_FRAME_EXTENTS)                \
  X(_NET_CLOSE_WINDOW)                 \
  X(_NET_MOVERESIZE_WINDOW)            \
  X(_NET_STARTUP_INFO_BEGIN)           \
  X(_NET_STARTUP_INFO)

enum class Atom : std::size_t {
#define QUAYLINE_X11_ATOM_ENUM(name) name,
  QUAYLINE_X11_ATOMS(QUAYLINE_X11_ATOM_ENUM)
#undef QUAYLINE_X11_ATOM_ENUM
      count
};

class Atoms {
 public:
  // Sends every InternAtom request first, then collects the replies. Atoms that could not be
  // interned (a broken connection) stay XCB_ATOM_NONE.
  void intern(xcb_connection_t* connection);

  xcb_atom_t operator[](Atom atom) const { return values_[static_cast<std::size_t>(atom)]; }

 private:
  std::array<xcb_atom_t, static_cast<std::size_t>(Atom::count)> values_{};
};

}  // namespace quayline::x11
