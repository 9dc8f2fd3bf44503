#pragma once

#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <vector>

#include "foundation/Geometry.h"
#include "foundation/Signal.h"
#include "platform/Processes.h"

namespace quayline::x11 {

class XConnection;

// The strips one window reserves along the root window's edges (_NET_WM_STRUT_PARTIAL order:
// left, right, top and bottom widths, then the start and end of each strip along its edge), in
// X pixels.
struct Strut {
  std::array<std::uint32_t, 12> values{};

  // From _NET_WM_STRUT_PARTIAL's twelve values, or _NET_WM_STRUT's four (strips as long as the
  // edge); nothing for any other count, or when nothing is reserved.
  static std::optional<Strut> fromPartial(std::span<const std::uint32_t> values);
  static std::optional<Strut> fromFull(std::span<const std::uint32_t> values);
  bool operator==(const Strut&) const = default;
};

// `screen` without the strips that `struts` reserve on it, all in X pixels of the root window
// `root`. A strip counts on every screen it overlaps and reaches in from the root's edge; one that
// would leave less than half of the screen is ignored as nonsense.
Rect unreservedArea(const Rect& screen, const Rect& root, const std::vector<Strut>& struts);

// The struts of other programs' client windows (taskbars, panels), followed as clients come and
// go and change them. Our own process's windows never count. Main thread only.
class PanelStruts {
 public:
  PanelStruts(XConnection& connection, ProcessId ownProcess);
  PanelStruts(const PanelStruts&) = delete;
  PanelStruts& operator=(const PanelStruts&) = delete;

  std::vector<Strut> current() const;
  // Called after the struts changed.
  Subscription observe(std::function<void()> observer);

 private:
  void readClients();
  void readWindows(const std::vector<xcb_window_t>& windows);
  void handle(const xcb_generic_event_t& event);

  XConnection& connection_;
  ProcessId ownProcess_;
  xcb_atom_t partialAtom_ = XCB_ATOM_NONE;
  xcb_atom_t fullAtom_ = XCB_ATOM_NONE;
  // Every client seen, with the strut that counts (none for ours and for clients without one).
  std::map<xcb_window_t, std::optional<Strut>> clients_;
  Signal<> changes_;
  Subscription events_;
};

}  // namespace quayline::x11
