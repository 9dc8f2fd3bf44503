#include "platform/linux/x11/X11Accessibility.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <set>

#include "foundation/Signal.h"
#include "platform/linux/DesktopEntryIndex.h"
#include "platform/linux/x11/ActivationHistory.h"
#include "platform/linux/x11/MaximizedResize.h"
#include "platform/linux/x11/ProcessInfo.h"
#include "platform/linux/x11/SharedPixelSpace.h"
#include "platform/linux/x11/WindowApplications.h"
#include "platform/linux/x11/WindowCommands.h"
#include "platform/linux/x11/WindowQuery.h"
#include "platform/linux/x11/XConnection.h"

namespace quayline {

using namespace x11;

namespace {

// macOS's default messaging timeout, until the program sets its own.
constexpr double kDefaultTimeout = 6.0;

struct Element final : AccessibilityElement {
  enum class Kind { application, window, closeButton };
  Element(Kind kind_, ProcessId pid_, xcb_window_t window_)
      : kind(kind_), pid(pid_), window(window_) {}
  Kind kind;
  ProcessId pid;
  xcb_window_t window;
};

const Element* element(const AXElement& value) {
  return dynamic_cast<const Element*>(value.get());
}

AXElement windowElement(ProcessId pid, xcb_window_t window) {
  return std::make_shared<Element>(Element::Kind::window, pid, window);
}

bool isMaximized(XConnection& connection, const WindowFacts& facts) {
  return facts.hasState(connection.atom(Atom::_NET_WM_STATE_MAXIMIZED_VERT)) ||
         facts.hasState(connection.atom(Atom::_NET_WM_STATE_MAXIMIZED_HORZ));
}

// The window manager changes a maximizing frame and its borders in separate steps; read between
// them, the frame pokes out of the screen. A maximized frame never does.
std::optional<Rect> shownFrame(XConnection& connection, const WindowFacts& facts) {
  auto frame = facts.frame();
  if (frame && isMaximized(connection, facts)) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection.raw())).data;
    frame = frame->intersection(Rect(0, 0, screen->width_in_pixels, screen->height_in_pixels));
  }
  return frame;
}

unsigned fieldsFor(std::string_view name) {
  if (name == AX::title) {
    return kTitle;
  }
  if (name == AX::subrole) {
    return kType;
  }
  if (name == AX::minimized) {
    return kState;
  }
  if (name == AX::position || name == AX::size) {
    return kGeometry | kExtents | kState;
  }
  if (name == AX::main || name == AX::closeButton || name == "AXFocused") {
    return kExistence;
  }
  return 0;
}

}  // namespace

struct X11Accessibility::Impl {
  XConnection& connection;
  // Where attributes are read. The windows whose processes are cached are watched there too, so
  // a destruction is seen before any reply that follows it.
  XConnection& readConnection;
  ActivationHistory& history;
  DesktopEntryIndex& entries;
  WindowApplications& windowApplications;
  const SharedPixelSpace* pixelSpace;
  std::atomic<double> timeout{kDefaultTimeout};
  MaximizedResize maximizedResize{connection};

  // _NET_WM_PID of the client windows read before. An entry goes as soon as the connection
  // reads the window's destruction, before the server can hand its id to another window.
  std::mutex mutex;
  std::map<xcb_window_t, ProcessId> applicationOf;
  Subscription destructions;

  // Recent destructions, numbered: a read that was under way when its window went must not put
  // the old process back into the cache.
  std::deque<std::pair<std::uint64_t, xcb_window_t>> destroyed;
  std::uint64_t destructionCount = 0;

  // Moves, resizes and state changes of the client windows read before (on the main thread).
  Signal<> windowChanges;
  Subscription events;

  void watchChanges() {
    events = connection.listen([this](const xcb_generic_event_t& event) {
      xcb_window_t window = XCB_WINDOW_NONE;
      switch (event.response_type & 0x7f) {
        case XCB_PROPERTY_NOTIFY: {
          const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
          if (notify.atom == connection.atom(Atom::_NET_WM_STATE) ||
              notify.atom == connection.atom(Atom::_NET_FRAME_EXTENTS)) {
            window = notify.window;
          }
          break;
        }
        case XCB_CONFIGURE_NOTIFY:
          // Window managers tell a client of a move of its frame with a synthetic one.
          window = reinterpret_cast<const xcb_configure_notify_event_t&>(event).window;
          break;
        default:
          break;
      }
      if (window != XCB_WINDOW_NONE && isOthersClient(window)) {
        windowChanges.emit();
      }
    });
  }

  // A window of the client list that is not one of our own (the dock's panels change size as
  // they magnify, and must not set off a refresh each time).
  bool isOthersClient(xcb_window_t window) {
    std::lock_guard lock(mutex);
    const auto found = applicationOf.find(window);
    return found != applicationOf.end() && found->second != ::getpid();
  }

  void watchDestructions() {
    destructions = readConnection.observeDestruction([this](xcb_window_t window) {
      std::lock_guard lock(mutex);
      applicationOf.erase(window);
      destroyed.emplace_back(++destructionCount, window);
      if (destroyed.size() > 4096) {
        destroyed.pop_front();
      }
    });
  }

  bool destroyedSince(xcb_window_t window, std::uint64_t count) const {
    if (!destroyed.empty() && destroyed.front().first > count + 1) {
      return true;  // the record no longer reaches back that far
    }
    return std::any_of(destroyed.begin(), destroyed.end(), [&](const auto& entry) {
      return entry.first > count && entry.second == window;
    });
  }

  Deadline deadline() const {
    return std::chrono::steady_clock::now() +
           std::chrono::duration_cast<std::chrono::steady_clock::duration>(
               std::chrono::duration<double>(timeout.load()));
  }

  PixelSpace space() const { return pixelSpace != nullptr ? pixelSpace->get() : PixelSpace{}; }

  // The client list with the application of every client, from the cache where possible.
  struct Clients {
    std::vector<xcb_window_t> windows;
    std::vector<ProcessId> applications;
    std::vector<xcb_window_t> stacking;
    std::optional<xcb_window_t> active;

    std::vector<xcb_window_t> of(ProcessId pid) const {
      std::vector<xcb_window_t> result;
      for (std::size_t i = 0; i < windows.size(); ++i) {
        if (applications[i] == pid) {
          result.push_back(windows[i]);
        }
      }
      return result;
    }
    std::optional<ProcessId> applicationOf(xcb_window_t window) const {
      const auto it = std::find(windows.begin(), windows.end(), window);
      if (it == windows.end()) {
        return std::nullopt;
      }
      return applications[static_cast<std::size_t>(it - windows.begin())];
    }
  };

  std::optional<Clients> resolveClients(const RootFacts& root, Deadline until) {
    if (!root.clients) {
      return std::nullopt;
    }
    Clients clients;
    clients.windows = *root.clients;
    clients.stacking = root.stacking.value_or(std::vector<xcb_window_t>{});
    clients.active = root.activeWindow;
    std::vector<std::pair<std::size_t, std::size_t>> reads;  // client index, query index
    WindowQuery query(readConnection, until);
    std::uint64_t destructionsBefore = 0;
    {
      std::lock_guard lock(mutex);
      destructionsBefore = destructionCount;
      for (std::size_t i = 0; i < clients.windows.size(); ++i) {
        const xcb_window_t window = clients.windows[i];
        if (auto found = applicationOf.find(window); found != applicationOf.end()) {
          clients.applications.push_back(found->second);
        } else {
          clients.applications.push_back(0);
          reads.emplace_back(i, SIZE_MAX);
        }
      }
    }
    for (auto& [index, read] : reads) {
      // Selected before the read, so a destruction after it cannot go unnoticed (the reading
      // connection watches destructions); changes of the window's state reach observers through
      // the main connection.
      connection.selectInput(clients.windows[index],
                             XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE);
      if (&readConnection != &connection) {
        readConnection.selectInput(clients.windows[index], XCB_EVENT_MASK_STRUCTURE_NOTIFY);
      }
      read = query.requestWindow(clients.windows[index], kPid);
    }
    query.collect();
    std::lock_guard lock(mutex);
    for (const auto& [index, read] : reads) {
      const WindowFacts& facts = query.window(read);
      const xcb_window_t window = clients.windows[index];
      clients.applications[index] =
          applicationProcessId(facts, window, readConnection.resourceIdMask());
      if (facts.exists && !destroyedSince(window, destructionsBefore)) {
        applicationOf[window] = clients.applications[index];
      }
    }
    // Where the workspace split a process into several applications, its grouping counts.
    for (std::size_t i = 0; i < clients.windows.size(); ++i) {
      if (auto application = windowApplications.applicationOf(clients.windows[i])) {
        clients.applications[i] = *application;
      }
    }
    return clients;
  }

  // The application's active or most recently active window.
  std::optional<xcb_window_t> mainWindow(const Clients& clients, ProcessId pid) const {
    const auto windows = clients.of(pid);
    if (windows.empty()) {
      return std::nullopt;
    }
    if (auto recent = history.mostRecent(windows)) {
      return recent;
    }
    for (auto it = clients.stacking.rbegin(); it != clients.stacking.rend(); ++it) {
      if (std::find(windows.begin(), windows.end(), *it) != windows.end()) {
        return *it;
      }
    }
    return windows.back();
  }

  std::optional<AXValue> subrole(const WindowFacts& facts) const {
    if (!facts.types) {
      return std::nullopt;
    }
    for (const xcb_atom_t type : *facts.types) {
      if (type == connection.atom(Atom::_NET_WM_WINDOW_TYPE_NORMAL)) {
        return std::string(AX::standardWindow);
      }
      if (type == connection.atom(Atom::_NET_WM_WINDOW_TYPE_DIALOG)) {
        return std::string(AX::dialog);
      }
      if (type == connection.atom(Atom::_NET_WM_WINDOW_TYPE_UTILITY) ||
          type == connection.atom(Atom::_NET_WM_WINDOW_TYPE_TOOLBAR) ||
          type == connection.atom(Atom::_NET_WM_WINDOW_TYPE_MENU) ||
          type == connection.atom(Atom::_NET_WM_WINDOW_TYPE_DROPDOWN_MENU) ||
          type == connection.atom(Atom::_NET_WM_WINDOW_TYPE_POPUP_MENU) ||
          type == connection.atom(Atom::_NET_WM_WINDOW_TYPE_COMBO) ||
          type == connection.atom(Atom::_NET_WM_WINDOW_TYPE_TOOLTIP) ||
          type == connection.atom(Atom::_NET_WM_WINDOW_TYPE_DND)) {
        return std::string("AXFloatingWindow");
      }
      if (type == connection.atom(Atom::_NET_WM_WINDOW_TYPE_SPLASH) ||
          type == connection.atom(Atom::_NET_WM_WINDOW_TYPE_NOTIFICATION) ||
          type == connection.atom(Atom::_NET_WM_WINDOW_TYPE_DOCK) ||
          type == connection.atom(Atom::_NET_WM_WINDOW_TYPE_DESKTOP)) {
        return std::string("AXSystemDialog");
      }
    }
    // Only types this system does not know: as good as none.
    return std::nullopt;
  }

  std::optional<AXValue> windowAttribute(const Element& window, std::string_view name,
                                         const WindowFacts& facts,
                                         const std::optional<Clients>& clients) const {
    if (!facts.exists) {
      return std::nullopt;
    }
    if (name == AX::title) {
      return facts.title.value_or("");
    }
    if (name == AX::subrole) {
      return subrole(facts);
    }
    if (name == AX::minimized) {
      return facts.hasState(connection.atom(Atom::_NET_WM_STATE_HIDDEN));
    }
    if (name == AX::position || name == AX::size) {
      const auto frame = shownFrame(connection, facts);
      if (!frame) {
        return std::nullopt;
      }
      const PixelSpace pixels = space();
      const Rect logical = pixels.toLogical(*frame);
      if (name == AX::size) {
        return logical.size;
      }
      return rootToGlobal(logical.origin, pixels.primaryOrigin());
    }
    if (name == AX::main) {
      if (!clients) {
        return std::nullopt;
      }
      const auto pid = clients->applicationOf(window.window);
      if (!pid) {
        return false;  // not managed by the window manager
      }
      return mainWindow(*clients, *pid) == window.window;
    }
    if (name == "AXFocused") {
      return clients && clients->active == window.window;
    }
    if (name == AX::closeButton) {
      return AXElement(
          std::make_shared<Element>(Element::Kind::closeButton, window.pid, window.window));
    }
    return std::nullopt;
  }

  std::optional<AXValue> applicationAttribute(const Element& app, std::string_view name,
                                              const std::optional<Clients>& clients,
                                              const std::map<ProcessId, WmClass>& classes) const {
    if (!clients) {
      return std::nullopt;
    }
    if (name == AX::windows) {
      std::vector<AXElement> windows;
      for (const xcb_window_t window : clients->of(app.pid)) {
        windows.push_back(windowElement(app.pid, window));
      }
      return windows;
    }
    if (name == AX::focusedWindow) {
      if (auto window = mainWindow(*clients, app.pid)) {
        return windowElement(app.pid, *window);
      }
      return std::nullopt;
    }
    if (name == AX::title) {
      if (auto named = windowApplications.nameOf(app.pid)) {
        return *named;
      }
      const auto wmClass = classes.find(app.pid);
      ClientIdentity identity;
      if (wmClass != classes.end()) {
        identity.instance = wmClass->second.instance;
        identity.className = wmClass->second.className;
      }
      identity.executable = ProcessInfo::executableName(app.pid).value_or("");
      if (auto entry = entries.match(identity)) {
        return entry->name;
      }
      if (!identity.className.empty()) {
        return identity.className;
      }
      if (!identity.executable.empty()) {
        return identity.executable;
      }
    }
    return std::nullopt;
  }

  std::vector<std::vector<std::optional<AXValue>>> read(
      const std::vector<AXElement>& elements, const std::vector<std::string_view>& names) {
    const Deadline until = deadline();
    unsigned windowFields = 0;
    bool needClients = false;
    bool needTitles = false;
    bool anyApplication = false;
    bool needFocus = false;
    for (const std::string_view name : names) {
      windowFields |= fieldsFor(name);
      needFocus = needFocus || name == AX::main || name == "AXFocused" || name == AX::focusedWindow;
      needTitles = needTitles || name == AX::title;
    }
    needClients = needFocus;
    for (const AXElement& value : elements) {
      if (const Element* e = element(value); e && e->kind == Element::Kind::application) {
        anyApplication = true;
      }
    }
    needClients = needClients || anyApplication;

    // First round: the root and every window element at once.
    WindowQuery query(readConnection, until);
    if (needClients) {
      query.requestRoot(needFocus ? kClientList | kStackingList | kActiveWindow : kClientList);
    }
    std::vector<std::optional<std::size_t>> reads(elements.size());
    for (std::size_t i = 0; i < elements.size(); ++i) {
      const Element* e = element(elements[i]);
      if (e != nullptr && e->kind == Element::Kind::window && windowFields != 0) {
        reads[i] = query.requestWindow(e->window, windowFields);
      }
    }
    query.collect();

    // Second round: the processes of clients not seen before, and the classes applications are
    // named by.
    std::optional<Clients> clients;
    std::map<ProcessId, WmClass> classes;
    if (needClients) {
      clients = resolveClients(query.root(), until);
    }
    if (clients && anyApplication && needTitles) {
      WindowQuery classQuery(readConnection, until);
      std::vector<std::pair<ProcessId, std::size_t>> classReads;
      for (const AXElement& value : elements) {
        const Element* e = element(value);
        if (e == nullptr || e->kind != Element::Kind::application) {
          continue;
        }
        const auto windows = clients->of(e->pid);
        if (!windows.empty()) {
          classReads.emplace_back(e->pid, classQuery.requestWindow(windows.front(), kClass));
        }
      }
      classQuery.collect();
      for (const auto& [pid, index] : classReads) {
        if (const auto& wmClass = classQuery.window(index).wmClass) {
          classes[pid] = *wmClass;
        }
      }
    }

    std::vector<std::vector<std::optional<AXValue>>> result(elements.size());
    for (std::size_t i = 0; i < elements.size(); ++i) {
      const Element* e = element(elements[i]);
      result[i].resize(names.size());
      if (e == nullptr) {
        continue;
      }
      for (std::size_t n = 0; n < names.size(); ++n) {
        if (e->kind == Element::Kind::application) {
          result[i][n] = applicationAttribute(*e, names[n], clients, classes);
        } else if (e->kind == Element::Kind::window && reads[i]) {
          result[i][n] = windowAttribute(*e, names[n], query.window(*reads[i]), clients);
        }
      }
    }
    return result;
  }

  // The facts a write needs, and whether the window is still there.
  std::optional<WindowFacts> currentFacts(xcb_window_t window) {
    WindowQuery query(connection, deadline());
    const auto index = query.requestWindow(window, kExistence | kExtents | kState | kGeometry);
    query.collect();
    if (!query.window(index).exists) {
      return std::nullopt;
    }
    return query.window(index);
  }
};

X11Accessibility::X11Accessibility(XConnection& connection, ActivationHistory& history,
                                   DesktopEntryIndex& entries,
                                   WindowApplications& windowApplications,
                                   const SharedPixelSpace* pixelSpace)
    : X11Accessibility(connection, connection, history, entries, windowApplications, pixelSpace) {}

X11Accessibility::X11Accessibility(XConnection& connection, XConnection& reads,
                                   ActivationHistory& history, DesktopEntryIndex& entries,
                                   WindowApplications& windowApplications,
                                   const SharedPixelSpace* pixelSpace)
    : impl_(new Impl{connection, reads, history, entries, windowApplications, pixelSpace}) {
  impl_->watchDestructions();
  impl_->watchChanges();
}

X11Accessibility::~X11Accessibility() = default;

void X11Accessibility::setMessagingTimeout(double seconds) {
  impl_->timeout.store(seconds > 0 ? seconds : kDefaultTimeout);
}

AXElement X11Accessibility::applicationElement(ProcessId pid) {
  return std::make_shared<Element>(Element::Kind::application, pid, XCB_WINDOW_NONE);
}

std::optional<AXValue> X11Accessibility::attribute(const AXElement& element,
                                                   std::string_view name) {
  return impl_->read({element}, {name})[0][0];
}

std::vector<std::vector<std::optional<AXValue>>> X11Accessibility::attributes(
    const std::vector<AXElement>& elements, const std::vector<std::string_view>& names) {
  return impl_->read(elements, names);
}

bool X11Accessibility::setAttribute(const AXElement& value, std::string_view name,
                                    const AXValue& newValue) {
  const Element* e = element(value);
  if (e == nullptr || e->kind != Element::Kind::window) {
    return false;
  }
  XConnection& connection = impl_->connection;
  const auto facts = impl_->currentFacts(e->window);
  if (!facts) {
    return false;
  }
  if (name == AX::minimized) {
    const bool* minimize = std::get_if<bool>(&newValue);
    if (minimize == nullptr) {
      return false;
    }
    if (*minimize) {
      WindowCommands::iconify(connection, e->window);
    } else if (facts->hasState(connection.atom(Atom::_NET_WM_STATE_HIDDEN))) {
      WindowCommands::restore(connection, e->window);
    }
    return true;
  }
  if (name == AX::size) {
    const Size* size = std::get_if<Size>(&newValue);
    if (size == nullptr || size->width <= 0 || size->height <= 0) {
      return false;
    }
    // The window's screen decides the scale; the resize itself works in X pixels.
    const auto current = shownFrame(connection, *facts);
    const double scale = impl_->space().scaleAt(current ? current->origin : Point{});
    const Size pixels{std::round(size->width * scale), std::round(size->height * scale)};
    if (isMaximized(connection, *facts) || impl_->maximizedResize.follows(e->window)) {
      // Keeps the frame where it is: leaving the maximized state would put it back elsewhere.
      impl_->maximizedResize.request(
          e->window, current ? std::optional(current->origin) : std::nullopt, pixels);
      return true;
    }
    WindowCommands::moveResize(connection, e->window, std::nullopt,
                               clientSizeFor(pixels, facts->extents));
    return true;
  }
  if (name == AX::position) {
    const Point* point = std::get_if<Point>(&newValue);
    if (point == nullptr) {
      return false;
    }
    const PixelSpace pixels = impl_->space();
    const Point origin = pixels.primaryOrigin();
    WindowCommands::moveResize(connection, e->window,
                               pixels.toPixels(Point{point->x + origin.x, point->y + origin.y}),
                               std::nullopt);
    return true;
  }
  if (name == AX::main || name == "AXFocused") {
    const bool* focus = std::get_if<bool>(&newValue);
    if (focus == nullptr || !*focus) {
      return false;
    }
    WindowCommands::activate(connection, e->window);
    return true;
  }
  return false;
}

bool X11Accessibility::performAction(const AXElement& value, std::string_view action) {
  const Element* e = element(value);
  if (e == nullptr) {
    return false;
  }
  XConnection& connection = impl_->connection;
  if (e->kind == Element::Kind::application && action == AX::raise) {
    auto focused = attribute(value, AX::focusedWindow);
    const AXElement* window = focused ? std::get_if<AXElement>(&*focused) : nullptr;
    return window != nullptr && performAction(*window, AX::raise);
  }
  const bool raise = e->kind == Element::Kind::window && action == AX::raise;
  const bool close = e->kind == Element::Kind::closeButton && action == AX::press;
  if (!raise && !close) {
    return false;
  }
  if (!impl_->currentFacts(e->window)) {
    return false;
  }
  if (raise) {
    WindowCommands::activate(connection, e->window);
    // The window manager confirms later; an activation of the application that follows at
    // once must already see this window as its newest.
    impl_->history.noteActive(e->window);
  } else {
    WindowCommands::close(connection, e->window);
  }
  return true;
}

Subscription X11Accessibility::observeWindowChanges(std::function<void()> observer) {
  return impl_->windowChanges.connect(std::move(observer));
}

std::optional<std::uint32_t> X11Accessibility::windowNumber(const AXElement& value) {
  const Element* e = element(value);
  if (e == nullptr || e->kind != Element::Kind::window) {
    return std::nullopt;
  }
  return e->window;
}

}  // namespace quayline
