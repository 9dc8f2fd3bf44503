#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "foundation/Geometry.h"
#include "platform/linux/x11/Conversions.h"
#include "platform/linux/x11/XConnection.h"

namespace quayline::x11 {

// What to read of a window; combine with `|`.
enum WindowField : unsigned {
  kPid = 1u << 0,        // _NET_WM_PID
  kClass = 1u << 1,      // WM_CLASS
  kTitle = 1u << 2,      // _NET_WM_NAME, falling back to WM_NAME
  kType = 1u << 3,       // _NET_WM_WINDOW_TYPE
  kState = 1u << 4,      // _NET_WM_STATE
  kGeometry = 1u << 5,   // size and root position of the client area
  kExtents = 1u << 6,    // _NET_FRAME_EXTENTS
  kMapState = 1u << 7,   // whether the window is viewable
  kExistence = 1u << 8,  // nothing but whether the window still exists
  // The entry and launch the window names: _GTK_APPLICATION_ID, _KDE_NET_WM_DESKTOP_FILE,
  // _NET_STARTUP_ID.
  kLaunchHints = 1u << 13,
};

// What to read of the root window.
enum RootField : unsigned {
  kClientList = 1u << 0,  // _NET_CLIENT_LIST (mapping order)
  kActiveWindow = 1u << 1,
  kCurrentDesktop = 1u << 2,
  kStackingList = 1u << 3,  // _NET_CLIENT_LIST_STACKING (bottom to top)
};

struct WmClass {
  std::string instance;
  std::string className;
};

struct WindowFacts {
  // Some reply came back: the window existed when the server answered.
  bool exists = false;
  std::optional<std::uint32_t> pid;
  std::optional<WmClass> wmClass;
  std::optional<std::string> title;  // UTF-8, repaired
  std::string applicationId;         // empty when absent
  std::string desktopFile;
  std::string startupId;
  // Absent when the window has no type; otherwise the types in the client's order of preference.
  std::optional<std::vector<xcb_atom_t>> types;
  std::vector<xcb_atom_t> states;
  std::optional<Point> clientOrigin;  // root coordinates
  std::optional<Size> clientSize;
  FrameExtents extents{};
  bool viewable = false;

  bool hasState(xcb_atom_t state) const;
  // The frame in root coordinates, when the geometry was read.
  std::optional<Rect> frame() const;
};

struct RootFacts {
  std::optional<std::vector<xcb_window_t>> clients;
  std::optional<std::vector<xcb_window_t>> stacking;
  std::optional<xcb_window_t> activeWindow;  // absent when none is active
  std::optional<std::uint32_t> currentDesktop;
};

// A batch of reads: every request is sent when it is added, the replies are collected together
// by `collect`, so a batch costs one round trip however many windows and properties it reads.
// Windows that vanish meanwhile come back with `exists` false.
class WindowQuery {
 public:
  WindowQuery(XConnection& connection, Deadline deadline);
  ~WindowQuery();
  WindowQuery(const WindowQuery&) = delete;
  WindowQuery& operator=(const WindowQuery&) = delete;

  void requestRoot(unsigned fields);
  // The index of the window's facts after `collect`.
  std::size_t requestWindow(xcb_window_t window, unsigned fields);
  void collect();

  const RootFacts& root() const { return root_; }
  const WindowFacts& window(std::size_t index) const { return windows_[index]; }
  std::size_t windowCount() const { return windows_.size(); }

 private:
  struct Request {
    enum class Kind { property, geometry, translate, attributes } kind;
    std::size_t window;  // index into windows_, or npos for the root
    unsigned field;
    unsigned int sequence;
  };
  void property(std::size_t window, xcb_window_t id, unsigned field, xcb_atom_t atom,
                std::uint32_t longLength);
  void collectRequests();
  void apply(const Request& request, void* reply);
  void applyRoot(unsigned field, const xcb_get_property_reply_t& reply);

  XConnection& connection_;
  Deadline deadline_;
  std::vector<Request> requests_;
  std::vector<WindowFacts> windows_;
  // The legacy title arrives separately and only counts when _NET_WM_NAME is absent.
  std::vector<std::optional<std::string>> legacyTitles_;
  std::vector<bool> haveNetTitle_;
  std::vector<std::pair<std::size_t, xcb_window_t>> ids_;  // windows whose title was asked for
  RootFacts root_;
};

// The pseudo process identifier of clients that do not name their process: one per X client
// connection (the window id without its client-allocated bits), above the kernel's largest
// process id (2^22), so it can never name a real process.
std::int32_t connectionProcessId(xcb_window_t window, std::uint32_t resourceIdMask);
// The process a client window belongs to: its _NET_WM_PID, or the connection's pseudo id.
std::int32_t applicationProcessId(const WindowFacts& facts, xcb_window_t window,
                                  std::uint32_t resourceIdMask);

}  // namespace quayline::x11
