#include "platform/linux/x11/X11PanelWindowing.h"

#include <xcb/xcb.h>

#include <QTimer>
#include <array>
#include <chrono>
#include <cmath>
#include <string>

#include "foundation/Signal.h"
#include "platform/linux/x11/SharedPixelSpace.h"
#include "platform/linux/x11/XConnection.h"

namespace quayline::x11 {

namespace {

constexpr auto kReplyTimeout = std::chrono::seconds(1);
// Compositing managers announce themselves on the root but not their leaving; a slow poll of the
// selection owner notices both.
constexpr int kCompositorPollMilliseconds = 1000;
constexpr std::uint32_t kAllDesktops = 0xFFFFFFFF;
constexpr std::uint32_t kNetWmStateAdd = 1;

// The atoms only the panel needs, interned when the adapter is made.
enum PanelAtom {
  windowType,
  windowTypeDock,
  state,
  stateAbove,
  stateSticky,
  stateSkipTaskbar,
  stateSkipPager,
  desktop,
  rootPixmap,
  compositorSelection,
  panelAtomCount
};

}  // namespace

struct X11PanelWindowing::Impl {
  Impl(XConnection& c, const SharedPixelSpace* p) : connection(c), pixelSpace(p) {}

  XConnection& connection;
  const SharedPixelSpace* pixelSpace;
  std::array<xcb_atom_t, panelAtomCount> atoms{};
  QTimer compositorPoll;
  bool composited = false;
  Signal<bool> compositingObservers;
  Signal<> backgroundObservers;
  Subscription events;

  Deadline deadline() const { return std::chrono::steady_clock::now() + kReplyTimeout; }

  void intern() {
    const std::string screenSelection = "_NET_WM_CM_S0";
    const std::array<std::string, panelAtomCount> names{"_NET_WM_WINDOW_TYPE",
                                                        "_NET_WM_WINDOW_TYPE_DOCK",
                                                        "_NET_WM_STATE",
                                                        "_NET_WM_STATE_ABOVE",
                                                        "_NET_WM_STATE_STICKY",
                                                        "_NET_WM_STATE_SKIP_TASKBAR",
                                                        "_NET_WM_STATE_SKIP_PAGER",
                                                        "_NET_WM_DESKTOP",
                                                        "_XROOTPMAP_ID",
                                                        screenSelection};
    std::array<unsigned int, panelAtomCount> sequences{};
    for (std::size_t i = 0; i < names.size(); ++i) {
      sequences[i] = xcb_intern_atom(connection.raw(), 0,
                                     static_cast<std::uint16_t>(names[i].size()), names[i].c_str())
                         .sequence;
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (auto reply = connection.take<xcb_intern_atom_reply_t>(sequences[i], deadline())) {
        atoms[i] = reply->atom;
      }
    }
  }

  void setCardinals(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                    const std::vector<std::uint32_t>& values) {
    xcb_change_property(connection.raw(), XCB_PROP_MODE_REPLACE, window, property, type, 32,
                        static_cast<std::uint32_t>(values.size()), values.data());
  }

  void sendState(xcb_window_t window, xcb_atom_t first, xcb_atom_t second) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atoms[state];
    message.data.data32[0] = kNetWmStateAdd;
    message.data.data32[1] = first;
    message.data.data32[2] = second;
    message.data.data32[3] = 1;  // a normal application asks
    xcb_send_event(connection.raw(), 0, connection.root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
  }

  bool readComposited() {
    const auto cookie = xcb_get_selection_owner(connection.raw(), atoms[compositorSelection]);
    auto reply = connection.take<xcb_get_selection_owner_reply_t>(cookie.sequence, deadline());
    return reply && reply->owner != XCB_WINDOW_NONE;
  }

  void pollCompositor() {
    const bool now = readComposited();
    if (now != composited) {
      composited = now;
      compositingObservers.emit(now);
    }
  }
};

X11PanelWindowing::X11PanelWindowing(XConnection& connection, const SharedPixelSpace* pixelSpace)
    : impl_(std::make_unique<Impl>(connection, pixelSpace)) {
  impl_->intern();
  impl_->composited = impl_->readComposited();
  impl_->compositorPoll.setInterval(kCompositorPollMilliseconds);
  QObject::connect(&impl_->compositorPoll, &QTimer::timeout,
                   [impl = impl_.get()] { impl->pollCompositor(); });
  connection.selectInput(connection.root(), XCB_EVENT_MASK_PROPERTY_CHANGE);
  impl_->events = connection.listen([impl = impl_.get()](const xcb_generic_event_t& event) {
    if ((event.response_type & 0x7f) != XCB_PROPERTY_NOTIFY) {
      return;
    }
    const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
    if (notify.window == impl->connection.root() && notify.atom == impl->atoms[rootPixmap]) {
      impl->backgroundObservers.emit();
    }
  });
}

X11PanelWindowing::~X11PanelWindowing() = default;

void X11PanelWindowing::prepareDockPanel(WindowId id) {
  const auto window = static_cast<xcb_window_t>(id);
  auto& a = impl_->atoms;
  impl_->setCardinals(window, a[windowType], XCB_ATOM_ATOM, {a[windowTypeDock]});
  impl_->setCardinals(window, a[state], XCB_ATOM_ATOM,
                      {a[stateAbove], a[stateSticky], a[stateSkipTaskbar], a[stateSkipPager]});
  // Without this a dock window belongs to one desktop only.
  impl_->setCardinals(window, a[desktop], XCB_ATOM_CARDINAL, {kAllDesktops});
  impl_->connection.flush();
}

void X11PanelWindowing::panelShown(WindowId id) {
  // The toolkit rewrites _NET_WM_STATE from its own flags when it maps a window, so the states
  // it does not know are asked for again, the way EWMH asks clients to change a mapped window.
  const auto window = static_cast<xcb_window_t>(id);
  auto& a = impl_->atoms;
  impl_->sendState(window, a[stateAbove], a[stateSticky]);
  impl_->sendState(window, a[stateSkipTaskbar], a[stateSkipPager]);
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = window;
  message.type = a[desktop];
  message.data.data32[0] = kAllDesktops;
  message.data.data32[1] = 1;
  xcb_send_event(impl_->connection.raw(), 0, impl_->connection.root(),
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&message));
  impl_->connection.flush();
}

void X11PanelWindowing::keepOutOfTaskbar(WindowId id) {
  const auto window = static_cast<xcb_window_t>(id);
  auto& a = impl_->atoms;
  impl_->setCardinals(window, a[state], XCB_ATOM_ATOM, {a[stateSkipTaskbar], a[stateSkipPager]});
  impl_->sendState(window, a[stateSkipTaskbar], a[stateSkipPager]);
  impl_->connection.flush();
}

void X11PanelWindowing::preparePopup(WindowId id) {
  const auto window = static_cast<xcb_window_t>(id);
  XConnection& c = impl_->connection;
  // Qt has no way to ask for this type on an X11 bypass window; it must be set before mapping.
  impl_->setCardinals(window, impl_->atoms[windowType], XCB_ATOM_ATOM,
                      {c.atom(Atom::_NET_WM_WINDOW_TYPE_POPUP_MENU)});
  c.flush();
}

bool X11PanelWindowing::isComposited() {
  return impl_->composited;
}

Subscription X11PanelWindowing::observeCompositing(std::function<void(bool)> observer) {
  if (!impl_->compositorPoll.isActive()) {
    impl_->compositorPoll.start();
  }
  return impl_->compositingObservers.connect(std::move(observer));
}

DesktopImage X11PanelWindowing::desktopBackground(const Rect& logicalArea) {
  auto& c = impl_->connection;
  const Rect area =
      impl_->pixelSpace != nullptr ? impl_->pixelSpace->get().toPixels(logicalArea) : logicalArea;
  const auto property =
      xcb_get_property(c.raw(), 0, c.root(), impl_->atoms[rootPixmap], XCB_ATOM_PIXMAP, 0, 1);
  auto reply = c.take<xcb_get_property_reply_t>(property.sequence, impl_->deadline());
  if (!reply || reply->type != XCB_ATOM_PIXMAP || xcb_get_property_value_length(reply.get()) < 4) {
    return {};
  }
  const auto pixmap = *static_cast<const xcb_pixmap_t*>(xcb_get_property_value(reply.get()));
  const int width = static_cast<int>(std::lround(area.width()));
  const int height = static_cast<int>(std::lround(area.height()));
  if (pixmap == XCB_NONE || width <= 0 || height <= 0) {
    return {};
  }
  // A stale id (the setter freed its pixmap) answers with an error, which gives no image.
  const auto cookie =
      xcb_get_image(c.raw(), XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap,
                    static_cast<std::int16_t>(std::lround(area.minX())),
                    static_cast<std::int16_t>(std::lround(area.minY())),
                    static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), ~0u);
  auto image = c.take<xcb_get_image_reply_t>(cookie.sequence, impl_->deadline());
  if (!image || (image->depth != 24 && image->depth != 32)) {
    return {};
  }
  const auto length = static_cast<std::size_t>(xcb_get_image_data_length(image.get()));
  if (length < static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4) {
    return {};
  }
  DesktopImage result;
  result.width = width;
  result.height = height;
  result.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  const auto* data = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image.get()));
  for (std::size_t i = 0; i < result.pixels.size(); ++i) {
    result.pixels[i] = data[i] | 0xFF000000u;
  }
  return result;
}

Subscription X11PanelWindowing::observeDesktopBackground(std::function<void()> observer) {
  return impl_->backgroundObservers.connect(std::move(observer));
}

}  // namespace quayline::x11
