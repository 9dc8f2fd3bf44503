#include "platform/linux/x11/X11PanelWindowing.h"

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <QTimer>
#include <array>
#include <chrono>
#include <cmath>
#include <optional>
#include <string>

#include "foundation/Signal.h"
#include "platform/linux/x11/SharedPixelSpace.h"
#include "platform/linux/x11/XConnection.h"

namespace quayline::x11 {

namespace {

constexpr auto kReplyTimeout = std::chrono::seconds(1);
// Compositing managers own a selection while they run. XFixes reports every change of its owner;
// a server without XFixes is polled slowly instead.
constexpr int kCompositorPollMilliseconds = 1000;
constexpr std::uint32_t kXFixesMajorVersion = 1;
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
  // The first event number of XFixes, when the server has it.
  std::optional<std::uint8_t> xfixesEvents;
  bool composited = false;
  Signal<bool> compositingObservers;
  Signal<> backgroundObservers;
  Subscription events;

  Deadline deadline() const { return std::chrono::steady_clock::now() + kReplyTimeout; }

  // The number of the screen whose root the connection uses.
  int screenNumber() const {
    int number = 0;
    for (auto screens = xcb_setup_roots_iterator(xcb_get_setup(connection.raw())); screens.rem > 0;
         xcb_screen_next(&screens), ++number) {
      if (screens.data->root == connection.root()) {
        return number;
      }
    }
    return 0;
  }

  void intern() {
    const std::string screenSelection = "_NET_WM_CM_S" + std::to_string(screenNumber());
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

  void pollCompositor() { noteComposited(readComposited()); }

  void noteComposited(bool now) {
    if (now != composited) {
      composited = now;
      compositingObservers.emit(now);
    }
  }

  // Asks XFixes to report the compositor selection's changes of owner: a new owner, and the
  // owner's window or connection going away.
  bool watchCompositorSelection() {
    xcb_connection_t* c = connection.raw();
    static constexpr char kName[] = "XFIXES";
    const auto presence = connection.take<xcb_query_extension_reply_t>(
        xcb_query_extension(c, sizeof kName - 1, kName).sequence, deadline());
    if (!presence || presence->present == 0 || atoms[compositorSelection] == XCB_ATOM_NONE) {
      return false;
    }
    // The protocol wants the version agreed before any other request of the extension.
    const auto version = connection.take<xcb_xfixes_query_version_reply_t>(
        xcb_xfixes_query_version(c, kXFixesMajorVersion, 0).sequence, deadline());
    if (!version || version->major_version < kXFixesMajorVersion) {
      return false;
    }
    xfixesEvents = presence->first_event;
    xcb_xfixes_select_selection_input(c, connection.root(), atoms[compositorSelection],
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    connection.flush();
    return true;
  }

  void handle(const xcb_generic_event_t& event) {
    const std::uint8_t type = event.response_type & 0x7f;
    if (xfixesEvents && type == *xfixesEvents + XCB_XFIXES_SELECTION_NOTIFY) {
      const auto& notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t&>(event);
      if (notify.selection == atoms[compositorSelection]) {
        // A selection whose owner window or client went away has no owner any more.
        noteComposited(notify.subtype == XCB_XFIXES_SELECTION_EVENT_SET_SELECTION_OWNER &&
                       notify.owner != XCB_WINDOW_NONE);
      }
      return;
    }
    if (type != XCB_PROPERTY_NOTIFY) {
      return;
    }
    const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
    if (notify.window == connection.root() && notify.atom == atoms[rootPixmap]) {
      backgroundObservers.emit();
    }
  }
};

X11PanelWindowing::X11PanelWindowing(XConnection& connection, const SharedPixelSpace* pixelSpace)
    : impl_(std::make_unique<Impl>(connection, pixelSpace)) {
  impl_->intern();
  impl_->events = connection.listen(
      [impl = impl_.get()](const xcb_generic_event_t& event) { impl->handle(event); });
  connection.selectInput(connection.root(), XCB_EVENT_MASK_PROPERTY_CHANGE);
  // Watched before the owner is read, so no change after the read goes unnoticed.
  const bool watched = impl_->watchCompositorSelection();
  impl_->composited = impl_->readComposited();
  if (!watched) {
    impl_->compositorPoll.setInterval(kCompositorPollMilliseconds);
    QObject::connect(&impl_->compositorPoll, &QTimer::timeout,
                     [impl = impl_.get()] { impl->pollCompositor(); });
  }
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
  if (!impl_->xfixesEvents && !impl_->compositorPoll.isActive()) {
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
