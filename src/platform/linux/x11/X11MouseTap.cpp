#include "platform/linux/x11/X11MouseTap.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <thread>
#include <vector>

#include "platform/linux/x11/Atoms.h"
#include "platform/linux/x11/SharedPixelSpace.h"
#include "platform/linux/x11/XReply.h"

namespace quayline::x11 {

namespace {

constexpr std::uint8_t kPrimaryButton = 1;
// Client windows sit this deep at most below a window manager's frame.
constexpr int kFrameDepth = 3;

}  // namespace

class X11MouseTap::ButtonTap final : public MouseTap::Tap {
 public:
  ButtonTap(xcb_connection_t* connection, xcb_window_t root, const SharedPixelSpace* pixels,
            Callback callback)
      : c_(connection),
        root_(root),
        pixels_(pixels),
        callback_(std::move(callback)),
        wake_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    atoms_.intern(c_);
    thread_ = std::thread([this] { run(); });
  }

  ~ButtonTap() override {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = write(wake_, &one, sizeof one);
    thread_.join();
    xcb_ungrab_button(c_, kPrimaryButton, root_, XCB_MOD_MASK_ANY);
    // A round trip, so the ungrab reaches the server before the connection closes.
    std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr));
    xcb_disconnect(c_);
    close(wake_);
  }

  ButtonTap(const ButtonTap&) = delete;
  ButtonTap& operator=(const ButtonTap&) = delete;

  // The passive grab stays until the tap is removed.
  bool isEnabled() const override { return true; }
  void enable() override {}

 private:
  void run() {
    pollfd fds[2] = {{xcb_get_file_descriptor(c_), POLLIN, 0}, {wake_, POLLIN, 0}};
    while (!xcb_connection_has_error(c_)) {
      while (XReply<xcb_generic_event_t> event{xcb_poll_for_event(c_)}) {
        handle(*event);
      }
      if (poll(fds, 2, -1) < 0 && errno != EINTR) {
        return;
      }
      if ((fds[1].revents & POLLIN) != 0) {
        return;
      }
    }
  }

  void handle(const xcb_generic_event_t& event) {
    const auto type = event.response_type & 0x7f;
    if (type != XCB_BUTTON_PRESS && type != XCB_BUTTON_RELEASE) {
      return;
    }
    const auto& button = reinterpret_cast<const xcb_button_press_event_t&>(event);
    Point location{static_cast<double>(button.root_x), static_cast<double>(button.root_y)};
    if (pixels_ != nullptr) {
      location = pixels_->get().toLogical(location);
    }
    const xcb_window_t child = button.child;
    const bool swallow =
        callback_({type == XCB_BUTTON_PRESS ? EventType::leftMouseDown : EventType::leftMouseUp,
                   location, [this, child] { return windowUnder(child); }});
    if (type == XCB_BUTTON_PRESS) {
      // Swallowed, the grab holds until the release; passed on, the press goes to the window
      // under the pointer as if it had never been grabbed.
      xcb_allow_events(c_, swallow ? XCB_ALLOW_ASYNC_POINTER : XCB_ALLOW_REPLAY_POINTER,
                       button.time);
      xcb_flush(c_);
    }
  }

  // The top-level window under a click: the client inside the frame `child` (the window that
  // carries WM_STATE), or `child` itself for a window the window manager does not frame. One
  // batch of requests per level of the frame's tree, topmost windows first.
  std::optional<Window> windowUnder(xcb_window_t child) {
    if (child == XCB_WINDOW_NONE) {
      return std::nullopt;
    }
    std::optional<bool> childIsDesktop;
    std::vector<xcb_window_t> level{child};
    for (int depth = 0; depth <= kFrameDepth && !level.empty(); ++depth) {
      struct Asked {
        xcb_get_property_cookie_t state;
        xcb_get_property_cookie_t type;
        xcb_query_tree_cookie_t tree;
      };
      std::vector<Asked> asked;
      for (const xcb_window_t window : level) {
        asked.push_back({xcb_get_property(c_, 0, window, atoms_[Atom::WM_STATE],
                                          XCB_GET_PROPERTY_TYPE_ANY, 0, 0),
                         xcb_get_property(c_, 0, window, atoms_[Atom::_NET_WM_WINDOW_TYPE],
                                          XCB_ATOM_ATOM, 0, 16),
                         xcb_query_tree(c_, window)});
      }
      std::optional<Window> found;
      std::vector<xcb_window_t> next;
      for (std::size_t i = 0; i < level.size(); ++i) {
        // Every reply is taken, so none is left behind on the connection.
        const XReply<xcb_get_property_reply_t> state(
            xcb_get_property_reply(c_, asked[i].state, nullptr));
        const XReply<xcb_get_property_reply_t> type(
            xcb_get_property_reply(c_, asked[i].type, nullptr));
        const XReply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c_, asked[i].tree, nullptr));
        const bool desktop = isDesktopType(type.get());
        if (depth == 0) {
          childIsDesktop = desktop;
        }
        if (!found && state && state->type != XCB_ATOM_NONE) {
          found = Window{level[i], desktop};
        }
        if (tree) {
          const xcb_window_t* children = xcb_query_tree_children(tree.get());
          // Listed bottom to top; the topmost is looked at first.
          for (int k = xcb_query_tree_children_length(tree.get()) - 1; k >= 0; --k) {
            next.push_back(children[k]);
          }
        }
      }
      if (found) {
        return found;
      }
      level = std::move(next);
    }
    return Window{child, childIsDesktop.value_or(false)};
  }

  bool isDesktopType(const xcb_get_property_reply_t* type) const {
    if (type == nullptr || type->format != 32 ||
        xcb_get_property_value_length(const_cast<xcb_get_property_reply_t*>(type)) < 4) {
      return false;
    }
    const auto* atoms = static_cast<const xcb_atom_t*>(
        xcb_get_property_value(const_cast<xcb_get_property_reply_t*>(type)));
    return atoms[0] == atoms_[Atom::_NET_WM_WINDOW_TYPE_DESKTOP];
  }

  xcb_connection_t* c_;
  xcb_window_t root_;
  const SharedPixelSpace* pixels_;
  Callback callback_;
  Atoms atoms_;
  int wake_;
  std::thread thread_;
};

X11MouseTap::X11MouseTap(const SharedPixelSpace* pixels, std::string displayName)
    : pixels_(pixels), displayName_(std::move(displayName)) {}

std::unique_ptr<MouseTap::Tap> X11MouseTap::create(Callback callback) {
  int screenNumber = 0;
  xcb_connection_t* c =
      xcb_connect(displayName_.empty() ? nullptr : displayName_.c_str(), &screenNumber);
  if (xcb_connection_has_error(c)) {
    xcb_disconnect(c);
    refusal_ = "no X display";
    return nullptr;
  }
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
  for (int i = 0; i < screenNumber && screens.rem > 0; ++i) {
    xcb_screen_next(&screens);
  }
  const xcb_window_t root = screens.data->root;
  const XReply<xcb_generic_error_t> error(xcb_request_check(
      c, xcb_grab_button_checked(c, 0, root,
                                 XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE,
                                 XCB_GRAB_MODE_SYNC, XCB_GRAB_MODE_ASYNC, XCB_WINDOW_NONE,
                                 XCB_CURSOR_NONE, kPrimaryButton, XCB_MOD_MASK_ANY)));
  if (error) {
    refusal_ = error->error_code == XCB_ACCESS
                   ? "another client, likely the window manager, holds button 1 on the root"
                   : "X error " + std::to_string(error->error_code);
    xcb_disconnect(c);
    return nullptr;
  }
  refusal_.clear();
  return std::make_unique<ButtonTap>(c, root, pixels_, std::move(callback));
}

}  // namespace quayline::x11
