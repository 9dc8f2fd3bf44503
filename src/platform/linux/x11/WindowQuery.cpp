#include "platform/linux/x11/WindowQuery.h"

#include <algorithm>
#include <bit>
#include <limits>

namespace quayline::x11 {

namespace {

constexpr std::size_t kRoot = std::numeric_limits<std::size_t>::max();
// WM_NAME, read beside _NET_WM_NAME and used only when that is absent.
constexpr unsigned kLegacyTitle = 1u << 16;
// The parts of kLaunchHints after _GTK_APPLICATION_ID.
constexpr unsigned kDesktopFile = 1u << 17;
constexpr unsigned kStartupId = 1u << 18;

// Lengths in 32-bit units: titles up to 16 KiB, lists of up to 16384 windows.
constexpr std::uint32_t kTitleLength = 4096;
constexpr std::uint32_t kListLength = 16384;
constexpr std::uint32_t kShortLength = 64;

std::string_view bytesOf(const xcb_get_property_reply_t& reply) {
  return {static_cast<const char*>(xcb_get_property_value(&reply)),
          static_cast<std::size_t>(xcb_get_property_value_length(&reply))};
}

std::vector<std::uint32_t> cardinalsOf(const xcb_get_property_reply_t& reply) {
  if (reply.format != 32) {
    return {};
  }
  const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(&reply));
  const auto count = static_cast<std::size_t>(xcb_get_property_value_length(&reply)) / 4;
  return std::vector<std::uint32_t>(values, values + count);
}

// A string property up to its first NUL, which some toolkits write as a terminator.
std::string textOf(const xcb_get_property_reply_t& reply) {
  const std::string_view bytes = bytesOf(reply);
  return repairedUtf8(bytes.substr(0, bytes.find('\0')));
}

bool isPresent(const xcb_get_property_reply_t& reply) {
  return reply.type != XCB_ATOM_NONE;
}

}  // namespace

bool WindowFacts::hasState(xcb_atom_t state) const {
  return std::find(states.begin(), states.end(), state) != states.end();
}

std::optional<Rect> WindowFacts::frame() const {
  if (!clientOrigin || !clientSize) {
    return std::nullopt;
  }
  return frameOf(*clientOrigin, *clientSize, extents);
}

WindowQuery::WindowQuery(XConnection& connection, Deadline deadline)
    : connection_(connection), deadline_(deadline) {}

WindowQuery::~WindowQuery() {
  // Replies nobody collected must not pile up in libxcb.
  for (const Request& request : requests_) {
    xcb_discard_reply(connection_.raw(), request.sequence);
  }
}

void WindowQuery::property(std::size_t window, xcb_window_t id, unsigned field, xcb_atom_t atom,
                           std::uint32_t longLength) {
  const auto cookie =
      xcb_get_property(connection_.raw(), 0, id, atom, XCB_GET_PROPERTY_TYPE_ANY, 0, longLength);
  requests_.push_back({Request::Kind::property, window, field, cookie.sequence});
}

void WindowQuery::requestRoot(unsigned fields) {
  const xcb_window_t root = connection_.root();
  if (fields & kClientList) {
    property(kRoot, root, kClientList, connection_.atom(Atom::_NET_CLIENT_LIST), kListLength);
  }
  if (fields & kStackingList) {
    property(kRoot, root, kStackingList, connection_.atom(Atom::_NET_CLIENT_LIST_STACKING),
             kListLength);
  }
  if (fields & kActiveWindow) {
    property(kRoot, root, kActiveWindow, connection_.atom(Atom::_NET_ACTIVE_WINDOW), 1);
  }
  if (fields & kCurrentDesktop) {
    property(kRoot, root, kCurrentDesktop, connection_.atom(Atom::_NET_CURRENT_DESKTOP), 1);
  }
}

std::size_t WindowQuery::requestWindow(xcb_window_t window, unsigned fields) {
  const std::size_t index = windows_.size();
  windows_.emplace_back();
  legacyTitles_.emplace_back();
  haveNetTitle_.push_back(false);
  xcb_connection_t* c = connection_.raw();
  if (fields & kPid) {
    property(index, window, kPid, connection_.atom(Atom::_NET_WM_PID), 1);
  }
  if (fields & kClass) {
    property(index, window, kClass, XCB_ATOM_WM_CLASS, kShortLength);
  }
  if (fields & kTitle) {
    // WM_NAME is asked for later, only of windows without _NET_WM_NAME.
    property(index, window, kTitle, connection_.atom(Atom::_NET_WM_NAME), kTitleLength);
    ids_.push_back({index, window});
  }
  if (fields & kLaunchHints) {
    property(index, window, kLaunchHints, connection_.atom(Atom::_GTK_APPLICATION_ID),
             kShortLength);
    property(index, window, kDesktopFile, connection_.atom(Atom::_KDE_NET_WM_DESKTOP_FILE),
             kShortLength);
    property(index, window, kStartupId, connection_.atom(Atom::_NET_STARTUP_ID), kShortLength);
  }
  if (fields & kType) {
    property(index, window, kType, connection_.atom(Atom::_NET_WM_WINDOW_TYPE), kShortLength);
  }
  if (fields & kState) {
    property(index, window, kState, connection_.atom(Atom::_NET_WM_STATE), kShortLength);
  }
  if (fields & kExtents) {
    property(index, window, kExtents, connection_.atom(Atom::_NET_FRAME_EXTENTS), 4);
  }
  if (fields & kGeometry) {
    requests_.push_back(
        {Request::Kind::geometry, index, kGeometry, xcb_get_geometry(c, window).sequence});
    requests_.push_back({Request::Kind::translate, index, kGeometry,
                         xcb_translate_coordinates(c, window, connection_.root(), 0, 0).sequence});
  }
  // Any reply tells that the window exists; only a read of nothing else needs a request for it.
  if ((fields & kMapState) || fields == kExistence) {
    requests_.push_back({Request::Kind::attributes, index, kMapState,
                         xcb_get_window_attributes(c, window).sequence});
  }
  return index;
}

void WindowQuery::collectRequests() {
  connection_.flush();
  std::vector<Request> requests = std::move(requests_);
  requests_.clear();
  // The server answers in order: the last reply comes after all the others, so waiting for it
  // first waits once for the whole batch.
  for (auto request = requests.rbegin(); request != requests.rend(); ++request) {
    XReply<xcb_generic_error_t> error;
    XReply<void> reply(connection_.take<void>(request->sequence, deadline_, &error));
    if (reply) {
      apply(*request, reply.get());
    }
  }
}

void WindowQuery::collect() {
  collectRequests();
  // Most clients set _NET_WM_NAME; the others (xterm, xclock) are asked for WM_NAME in a second
  // round rather than every window twice in the first.
  for (const auto& [index, window] : ids_) {
    if (windows_[index].exists && !haveNetTitle_[index]) {
      property(index, window, kLegacyTitle, XCB_ATOM_WM_NAME, kTitleLength);
    }
  }
  ids_.clear();
  if (!requests_.empty()) {
    collectRequests();
  }
  for (std::size_t i = 0; i < windows_.size(); ++i) {
    if (!haveNetTitle_[i] && legacyTitles_[i]) {
      windows_[i].title = std::move(legacyTitles_[i]);
    }
  }
}

void WindowQuery::apply(const Request& request, void* reply) {
  if (request.window == kRoot) {
    applyRoot(request.field, *static_cast<const xcb_get_property_reply_t*>(reply));
    return;
  }
  WindowFacts& facts = windows_[request.window];
  facts.exists = true;
  switch (request.kind) {
    case Request::Kind::geometry: {
      const auto& geometry = *static_cast<const xcb_get_geometry_reply_t*>(reply);
      facts.clientSize =
          Size{static_cast<double>(geometry.width), static_cast<double>(geometry.height)};
      return;
    }
    case Request::Kind::translate: {
      const auto& translated = *static_cast<const xcb_translate_coordinates_reply_t*>(reply);
      facts.clientOrigin =
          Point{static_cast<double>(translated.dst_x), static_cast<double>(translated.dst_y)};
      return;
    }
    case Request::Kind::attributes: {
      const auto& attributes = *static_cast<const xcb_get_window_attributes_reply_t*>(reply);
      facts.viewable = attributes.map_state == XCB_MAP_STATE_VIEWABLE;
      return;
    }
    case Request::Kind::property:
      break;
  }
  const auto& property = *static_cast<const xcb_get_property_reply_t*>(reply);
  if (!isPresent(property)) {
    return;
  }
  switch (request.field) {
    case kPid: {
      const auto values = cardinalsOf(property);
      if (!values.empty() && values[0] != 0) {
        facts.pid = values[0];
      }
      return;
    }
    case kClass: {
      // Two NUL-terminated strings: the instance, then the class.
      const std::string_view bytes = bytesOf(property);
      const auto split = bytes.find('\0');
      WmClass wmClass;
      wmClass.instance = repairedUtf8(bytes.substr(0, split));
      if (split != std::string_view::npos) {
        std::string_view rest = bytes.substr(split + 1);
        rest = rest.substr(0, rest.find('\0'));
        wmClass.className = repairedUtf8(rest);
      }
      facts.wmClass = std::move(wmClass);
      return;
    }
    case kTitle:
      haveNetTitle_[request.window] = true;
      facts.title = repairedUtf8(bytesOf(property));
      return;
    case kLegacyTitle:
      legacyTitles_[request.window] = property.type == XCB_ATOM_STRING
                                          ? latin1ToUtf8(bytesOf(property))
                                          : repairedUtf8(bytesOf(property));
      return;
    case kLaunchHints:
      facts.applicationId = textOf(property);
      return;
    case kDesktopFile:
      facts.desktopFile = textOf(property);
      return;
    case kStartupId:
      facts.startupId = textOf(property);
      return;
    case kType:
      facts.types = cardinalsOf(property);
      return;
    case kState:
      facts.states = cardinalsOf(property);
      return;
    case kExtents: {
      const auto values = cardinalsOf(property);
      if (values.size() == 4) {
        std::copy(values.begin(), values.end(), facts.extents.begin());
      }
      return;
    }
    default:
      return;
  }
}

void WindowQuery::applyRoot(unsigned field, const xcb_get_property_reply_t& reply) {
  if (!isPresent(reply)) {
    if (field == kClientList) {
      root_.clients.emplace();
    } else if (field == kStackingList) {
      root_.stacking.emplace();
    }
    return;
  }
  const auto values = cardinalsOf(reply);
  switch (field) {
    case kClientList:
      root_.clients = values;
      return;
    case kStackingList:
      root_.stacking = values;
      return;
    case kActiveWindow:
      if (!values.empty() && values[0] != XCB_WINDOW_NONE) {
        root_.activeWindow = values[0];
      }
      return;
    case kCurrentDesktop:
      if (!values.empty()) {
        root_.currentDesktop = values[0];
      }
      return;
    default:
      return;
  }
}

std::int32_t connectionProcessId(xcb_window_t window, std::uint32_t resourceIdMask) {
  const std::uint32_t client = (window & ~resourceIdMask) >> std::countr_one(resourceIdMask);
  return static_cast<std::int32_t>(0x40000000u | (client & 0x3FFFFFFFu));
}

std::int32_t applicationProcessId(const WindowFacts& facts, xcb_window_t window,
                                  std::uint32_t resourceIdMask) {
  if (facts.pid && *facts.pid > 0 && *facts.pid < 0x40000000u) {
    return static_cast<std::int32_t>(*facts.pid);
  }
  return connectionProcessId(window, resourceIdMask);
}

}  // namespace quayline::x11
