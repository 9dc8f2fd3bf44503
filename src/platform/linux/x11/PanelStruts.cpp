#include "platform/linux/x11/PanelStruts.h"

#include <algorithm>
#include <chrono>
#include <string_view>

#include "platform/linux/x11/XConnection.h"

namespace quayline::x11 {

namespace {

constexpr auto kReplyTimeout = std::chrono::seconds(1);
// X coordinates are 16-bit: a strip this long covers its whole edge.
constexpr std::uint32_t kWholeEdge = 0xFFFF;

enum Edge { left, right, top, bottom };

Deadline deadline() {
  return std::chrono::steady_clock::now() + kReplyTimeout;
}

xcb_atom_t intern(XConnection& connection, std::string_view name) {
  const auto cookie =
      xcb_intern_atom(connection.raw(), 0, static_cast<std::uint16_t>(name.size()), name.data());
  const auto reply = connection.take<xcb_intern_atom_reply_t>(cookie.sequence, deadline());
  return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

std::vector<std::uint32_t> cardinals(const xcb_get_property_reply_t* reply) {
  if (reply == nullptr || reply->format != 32) {
    return {};
  }
  const auto* data = static_cast<const std::uint32_t*>(
      xcb_get_property_value(const_cast<xcb_get_property_reply_t*>(reply)));
  const auto count =
      xcb_get_property_value_length(const_cast<xcb_get_property_reply_t*>(reply)) / 4;
  return std::vector<std::uint32_t>(data, data + count);
}

// The strip a strut reserves along one edge of `root`; empty when it reserves none there.
Rect strip(const Strut& strut, Edge edge, const Rect& root) {
  const auto& v = strut.values;
  const double width = v[edge];
  if (width == 0) {
    return Rect::null();
  }
  const double start = v[4 + 2 * edge];
  const double length = static_cast<double>(v[5 + 2 * edge]) - start + 1;
  if (length <= 0) {
    return Rect::null();
  }
  switch (edge) {
    case left:
      return Rect(root.minX(), start, width, length);
    case right:
      return Rect(root.maxX() - width, start, width, length);
    case top:
      return Rect(start, root.minY(), length, width);
    case bottom:
      return Rect(start, root.maxY() - width, length, width);
  }
  return Rect::null();
}

}  // namespace

std::optional<Strut> Strut::fromPartial(std::span<const std::uint32_t> values) {
  if (values.size() != 12) {
    return std::nullopt;
  }
  Strut strut;
  std::copy(values.begin(), values.end(), strut.values.begin());
  if (strut.values[left] == 0 && strut.values[right] == 0 && strut.values[top] == 0 &&
      strut.values[bottom] == 0) {
    return std::nullopt;
  }
  return strut;
}

std::optional<Strut> Strut::fromFull(std::span<const std::uint32_t> values) {
  if (values.size() != 4) {
    return std::nullopt;
  }
  const std::array<std::uint32_t, 12> partial{values[0], values[1],  values[2], values[3],
                                              0,         kWholeEdge, 0,         kWholeEdge,
                                              0,         kWholeEdge, 0,         kWholeEdge};
  return fromPartial(partial);
}

Rect unreservedArea(const Rect& screen, const Rect& root, const std::vector<Strut>& struts) {
  double minX = screen.minX();
  double maxX = screen.maxX();
  double minY = screen.minY();
  double maxY = screen.maxY();
  for (const Strut& strut : struts) {
    for (const Edge edge : {left, right, top, bottom}) {
      const Rect reserved = strip(strut, edge, root);
      if (reserved.intersection(screen).isEmpty()) {
        continue;
      }
      switch (edge) {
        case left:
          if (reserved.maxX() - screen.minX() <= screen.width() / 2) {
            minX = std::max(minX, reserved.maxX());
          }
          break;
        case right:
          if (screen.maxX() - reserved.minX() <= screen.width() / 2) {
            maxX = std::min(maxX, reserved.minX());
          }
          break;
        case top:
          if (reserved.maxY() - screen.minY() <= screen.height() / 2) {
            minY = std::max(minY, reserved.maxY());
          }
          break;
        case bottom:
          if (screen.maxY() - reserved.minY() <= screen.height() / 2) {
            maxY = std::min(maxY, reserved.minY());
          }
          break;
      }
    }
  }
  return Rect(minX, minY, maxX - minX, maxY - minY);
}

PanelStruts::PanelStruts(XConnection& connection, ProcessId ownProcess)
    : connection_(connection), ownProcess_(ownProcess) {
  partialAtom_ = intern(connection, "_NET_WM_STRUT_PARTIAL");
  fullAtom_ = intern(connection, "_NET_WM_STRUT");
  connection.selectInput(connection.root(), XCB_EVENT_MASK_PROPERTY_CHANGE);
  events_ = connection.listen([this](const xcb_generic_event_t& event) { handle(event); });
  readClients();
}

std::vector<Strut> PanelStruts::current() const {
  std::vector<Strut> result;
  for (const auto& [window, strut] : clients_) {
    if (strut) {
      result.push_back(*strut);
    }
  }
  return result;
}

Subscription PanelStruts::observe(std::function<void()> observer) {
  return changes_.connect([observer = std::move(observer)] { observer(); });
}

void PanelStruts::handle(const xcb_generic_event_t& event) {
  if ((event.response_type & 0x7f) != XCB_PROPERTY_NOTIFY) {
    return;
  }
  const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
  if (notify.window == connection_.root()) {
    if (notify.atom == connection_.atom(Atom::_NET_CLIENT_LIST)) {
      readClients();
    }
    return;
  }
  if ((notify.atom == partialAtom_ || notify.atom == fullAtom_) &&
      clients_.contains(notify.window)) {
    readWindows({notify.window});
  }
}

void PanelStruts::readClients() {
  const auto cookie =
      xcb_get_property(connection_.raw(), 0, connection_.root(),
                       connection_.atom(Atom::_NET_CLIENT_LIST), XCB_ATOM_WINDOW, 0, 65536);
  const auto reply = connection_.take<xcb_get_property_reply_t>(cookie.sequence, deadline());
  if (!reply) {
    return;  // the next change of the list reads it again
  }
  const std::vector<std::uint32_t> listed = cardinals(reply.get());
  const std::vector<Strut> before = current();
  std::erase_if(clients_, [&](const auto& entry) {
    return std::find(listed.begin(), listed.end(), entry.first) == listed.end();
  });
  std::vector<xcb_window_t> added;
  for (const std::uint32_t window : listed) {
    if (!clients_.contains(window)) {
      added.push_back(window);
    }
  }
  if (!added.empty()) {
    readWindows(added);
  } else if (current() != before) {
    changes_.emit();
  }
}

void PanelStruts::readWindows(const std::vector<xcb_window_t>& windows) {
  const std::vector<Strut> before = current();
  struct Read {
    xcb_window_t window;
    unsigned pid;
    unsigned partial;
    unsigned full;
  };
  std::vector<Read> reads;
  reads.reserve(windows.size());
  xcb_connection_t* c = connection_.raw();
  for (const xcb_window_t window : windows) {
    // Selected before the read, so a change after it is not missed.
    connection_.selectInput(window, XCB_EVENT_MASK_PROPERTY_CHANGE);
    reads.push_back(
        {window,
         xcb_get_property(c, 0, window, connection_.atom(Atom::_NET_WM_PID), XCB_ATOM_CARDINAL, 0,
                          1)
             .sequence,
         xcb_get_property(c, 0, window, partialAtom_, XCB_ATOM_CARDINAL, 0, 12).sequence,
         xcb_get_property(c, 0, window, fullAtom_, XCB_ATOM_CARDINAL, 0, 4).sequence});
  }
  const Deadline until = deadline();
  for (const Read& read : reads) {
    const auto pid = connection_.take<xcb_get_property_reply_t>(read.pid, until);
    const auto partial = connection_.take<xcb_get_property_reply_t>(read.partial, until);
    const auto full = connection_.take<xcb_get_property_reply_t>(read.full, until);
    const auto pidValue = cardinals(pid.get());
    if (!pidValue.empty() && static_cast<ProcessId>(pidValue.front()) == ownProcess_) {
      clients_[read.window] = std::nullopt;
      continue;
    }
    // A window gone before the read answers with errors: it reserves nothing.
    auto strut = Strut::fromPartial(cardinals(partial.get()));
    if (!strut) {
      strut = Strut::fromFull(cardinals(full.get()));
    }
    clients_[read.window] = strut;
  }
  if (current() != before) {
    changes_.emit();
  }
}

}  // namespace quayline::x11
