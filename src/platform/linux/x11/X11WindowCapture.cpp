#include "platform/linux/x11/X11WindowCapture.h"

#include <unistd.h>
#include <xcb/composite.h>
#include <xcb/damage.h>

#include <QThreadPool>
#include <algorithm>
#include <array>
#include <map>
#include <mutex>
#include <set>

#include "foundation/Signal.h"
#include "platform/linux/x11/CaptureExtensions.h"
#include "platform/linux/x11/ImageResampling.h"
#include "platform/linux/x11/RenderScaling.h"
#include "platform/linux/x11/ShareableWindows.h"
#include "platform/linux/x11/SharedPixelSpace.h"
#include "platform/linux/x11/TrackedWindow.h"
#include "platform/linux/x11/WindowQuery.h"
#include "platform/linux/x11/XConnection.h"

namespace quayline {

using namespace x11;

namespace {

constexpr auto kReadTimeout = std::chrono::seconds(2);
// The copy kept for a window while it is unmapped.
constexpr int kKeptLongSide = 512;
// Larger requests are refused rather than read back through the connection.
constexpr long long kLargestCapture = 4096LL * 4096;

Deadline deadline() {
  return std::chrono::steady_clock::now() + kReadTimeout;
}

// What a capture reads: a pixmap, its size and the Render format of its window's visual.
struct Source {
  std::shared_ptr<NamedPixmap> pixmap;
  PixelSize size;
  xcb_render_pictformat_t format = 0;
};

}  // namespace

struct X11WindowCapture::Impl {
  Impl(XConnection& connection_, const SharedPixelSpace* pixelSpace_)
      : connection(connection_), c(connection_.raw()), pixelSpace(pixelSpace_) {
    const CaptureExtensions extensions = negotiateCaptureExtensions(connection, deadline());
    supported = extensions.usable;
    damageEvent = extensions.damageEvent;
    if (supported) {
      formats = PictureFormats::read(connection, deadline());
      supported = formats.argb32().has_value();
    }
    keeper.setMaxThreadCount(1);
    destroyedWindows =
        connection.observeDestruction([this](xcb_window_t window) { dropDestroyed(window); });
    events = connection.listen([this](const xcb_generic_event_t& event) { handle(event); });
    if (supported) {
      connection.selectInput(connection.root(), XCB_EVENT_MASK_PROPERTY_CHANGE);
      sync();
    }
  }

  ~Impl() {
    keeper.waitForDone();
    destroyedWindows = {};
    events = {};
    std::map<xcb_window_t, std::shared_ptr<TrackedWindow>> left;
    {
      std::lock_guard lock(mutex);
      left.swap(windows);
      graveyard.clear();
    }
    for (const auto& [window, entry] : left) {
      release(*entry);
    }
    left.clear();
    connection.flush();
  }

  // --- Following the clients (main thread) --------------------------------------------------

  void handle(const xcb_generic_event_t& event) {
    const std::uint8_t type = event.response_type & ~0x80;
    if (supported && type == damageEvent + XCB_DAMAGE_NOTIFY) {
      const auto& notify = reinterpret_cast<const xcb_damage_notify_event_t&>(event);
      std::lock_guard lock(mutex);
      if (const auto entry = find(notify.drawable)) {
        ++entry->generation;
      }
      return;
    }
    switch (type) {
      case XCB_PROPERTY_NOTIFY: {
        const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
        if (supported && notify.window == connection.root() &&
            notify.atom == connection.atom(Atom::_NET_CLIENT_LIST)) {
          sync();
        }
        return;
      }
      case XCB_MAP_NOTIFY:
        name(reinterpret_cast<const xcb_map_notify_event_t&>(event).window);
        return;
      case XCB_UNMAP_NOTIFY:
        unmapped(reinterpret_cast<const xcb_unmap_notify_event_t&>(event).window);
        return;
      case XCB_CONFIGURE_NOTIFY:
        configured(reinterpret_cast<const xcb_configure_notify_event_t&>(event));
        return;
      case XCB_DESTROY_NOTIFY: {
        std::vector<std::shared_ptr<TrackedWindow>> released;
        {
          std::lock_guard lock(mutex);
          released.swap(graveyard);
        }
        released.clear();
        destructions.emit(reinterpret_cast<const xcb_destroy_notify_event_t&>(event).window);
        return;
      }
      default:
        return;
    }
  }

  // Reads the client list and follows the clients not seen before; lets go of those that left.
  void sync() {
    WindowQuery rootQuery(connection, deadline());
    rootQuery.requestRoot(kClientList);
    rootQuery.collect();
    if (!rootQuery.root().clients) {
      return;  // the next change of the list tries again
    }
    const std::vector<xcb_window_t>& clients = *rootQuery.root().clients;
    const std::set<xcb_window_t> listed(clients.begin(), clients.end());
    std::vector<xcb_window_t> fresh;
    std::vector<std::shared_ptr<TrackedWindow>> leaving;
    {
      std::lock_guard lock(mutex);
      for (const xcb_window_t window : clients) {
        if (!windows.contains(window)) {
          fresh.push_back(window);
        }
      }
      for (auto it = windows.begin(); it != windows.end();) {
        if (listed.contains(it->first)) {
          ++it;
          continue;
        }
        it->second->gone = true;
        leaving.push_back(std::move(it->second));
        it = windows.erase(it);
      }
      syncing = true;
      destroyedWhileSyncing.clear();
    }
    for (const auto& entry : leaving) {
      release(*entry);
    }
    // Selected before the read: a map or resize after it arrives once the entry exists.
    WindowQuery query(connection, deadline());
    for (const xcb_window_t window : fresh) {
      connection.selectInput(window, XCB_EVENT_MASK_STRUCTURE_NOTIFY);
      query.requestWindow(window, kPid | kMapState);
    }
    query.collect();
    std::vector<std::shared_ptr<TrackedWindow>> followed;
    for (std::size_t i = 0; i < fresh.size(); ++i) {
      const WindowFacts& facts = query.window(i);
      if (!facts.exists || (facts.pid && *facts.pid == static_cast<std::uint32_t>(::getpid()))) {
        continue;  // gone already, or one of our own windows
      }
      auto entry = std::make_shared<TrackedWindow>();
      entry->window = fresh[i];
      entry->damage = xcb_generate_id(c);
      xcb_composite_redirect_window(c, entry->window, XCB_COMPOSITE_REDIRECT_AUTOMATIC);
      xcb_damage_create(c, entry->damage, entry->window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
      if (facts.viewable) {
        entry->mapped = true;
        entry->pixmap = namePixmap(entry->window);
      }
      followed.push_back(std::move(entry));
    }
    {
      std::lock_guard lock(mutex);
      syncing = false;
      for (auto& entry : followed) {
        // A window destroyed meanwhile may have handed its number on already.
        if (std::find(destroyedWhileSyncing.begin(), destroyedWhileSyncing.end(), entry->window) ==
            destroyedWhileSyncing.end()) {
          windows[entry->window] = std::move(entry);
        }
      }
      destroyedWhileSyncing.clear();
    }
    connection.flush();
  }

  std::shared_ptr<NamedPixmap> namePixmap(xcb_window_t window) {
    const xcb_pixmap_t id = xcb_generate_id(c);
    xcb_composite_name_window_pixmap(c, window, id);
    return std::make_shared<NamedPixmap>(c, id);
  }

  // A mapped window gets a new pixmap at each map and resize; the old one keeps the old size.
  void name(xcb_window_t window) {
    std::shared_ptr<NamedPixmap> previous;
    {
      std::lock_guard lock(mutex);
      const auto entry = find(window);
      if (!entry) {
        return;
      }
      entry->mapped = true;
      ++entry->generation;
      previous = std::exchange(entry->pixmap, namePixmap(window));
    }
    previous.reset();
    connection.flush();
  }

  void unmapped(xcb_window_t window) {
    std::lock_guard lock(mutex);
    const auto entry = find(window);
    if (!entry || !entry->mapped) {
      return;
    }
    entry->mapped = false;
    if (!entry->pixmap) {
      return;
    }
    if (entry->kept && entry->keptGeneration == entry->generation) {
      entry->pixmap.reset();  // the copy shows the window as it is
      return;
    }
    if (!entry->keeping) {
      entry->keeping = true;
      keeper.start([this, entry] { keep(entry); });
    }
  }

  void configured(const xcb_configure_notify_event_t& event) {
    const std::array<int, 3> geometry{event.width, event.height, event.border_width};
    {
      std::lock_guard lock(mutex);
      const auto entry = find(event.window);
      if (!entry || entry->geometry == geometry) {
        return;  // a move, or a window manager's synthetic notice
      }
      entry->geometry = geometry;
      if (!entry->mapped) {
        return;
      }
    }
    name(event.window);
  }

  // Called on whichever thread reads the destruction, before a reply read after it returns.
  void dropDestroyed(xcb_window_t window) {
    std::lock_guard lock(mutex);
    if (syncing) {
      destroyedWhileSyncing.push_back(window);
    }
    const auto found = windows.find(window);
    if (found == windows.end()) {
      return;
    }
    found->second->gone = true;
    // The pixmap is freed on the main thread: no requests from inside the connection's report.
    graveyard.push_back(std::move(found->second));
    windows.erase(found);
  }

  // Undoes what following a window did on the server; errors for a window that is gone already
  // are harmless.
  void release(TrackedWindow& entry) {
    xcb_damage_destroy(c, entry.damage);
    xcb_composite_unredirect_window(c, entry.window, XCB_COMPOSITE_REDIRECT_AUTOMATIC);
    entry.pixmap.reset();
  }

  std::shared_ptr<TrackedWindow> find(xcb_window_t window) const {
    const auto found = windows.find(window);
    return found == windows.end() ? nullptr : found->second;
  }

  // --- Capturing (any thread) ---------------------------------------------------------------

  // The pixmap's size and format, read on first use. A pixmap whose naming failed (the window
  // was not viewable yet) is named again when `rename` allows and the window is viewable now.
  std::optional<Source> prepare(const std::shared_ptr<TrackedWindow>& entry,
                                std::shared_ptr<NamedPixmap> pixmap, bool rename) {
    std::optional<xcb_visualid_t> visual;
    std::optional<PixelSize> size;
    {
      std::lock_guard lock(mutex);
      visual = entry->visual;
      size = pixmap->size;
    }
    if (!visual || !size) {
      const Deadline until = deadline();
      const auto attributes = xcb_get_window_attributes(c, entry->window);
      const auto geometry = xcb_get_geometry(c, pixmap->id);
      const auto read =
          connection.take<xcb_get_window_attributes_reply_t>(attributes.sequence, until);
      auto shape = connection.take<xcb_get_geometry_reply_t>(geometry.sequence, until);
      if (!read) {
        return std::nullopt;  // the window is gone
      }
      visual = read->visual;
      if (!shape && rename && read->map_state == XCB_MAP_STATE_VIEWABLE) {
        auto renamed = namePixmap(entry->window);
        shape = connection.take<xcb_get_geometry_reply_t>(xcb_get_geometry(c, renamed->id).sequence,
                                                          until);
        if (shape) {
          std::lock_guard lock(mutex);
          if (entry->pixmap == pixmap) {
            entry->pixmap = renamed;
          }
          pixmap = std::move(renamed);
        }
      }
      if (!shape) {
        return std::nullopt;
      }
      size = PixelSize{shape->width, shape->height};
      std::lock_guard lock(mutex);
      entry->visual = visual;
      pixmap->size = size;
    }
    const auto format = formats.ofVisual(*visual);
    if (!format) {
      return std::nullopt;  // pixels Render cannot describe
    }
    return Source{std::move(pixmap), *size, *format};
  }

  WindowImageRef capture(WindowNumber window, PixelSize size) {
    if (!supported || size.width <= 0 || size.height <= 0 ||
        static_cast<long long>(size.width) * size.height > kLargestCapture || connection.isLost()) {
      return nullptr;
    }
    std::shared_ptr<TrackedWindow> entry;
    std::shared_ptr<NamedPixmap> pixmap;
    WindowImageRef kept;
    std::uint64_t generation = 0;
    bool mapped = false;
    {
      std::lock_guard lock(mutex);
      entry = find(window);
      if (!entry) {
        return nullptr;
      }
      if (auto cached = entry->cached(size)) {
        return cached;
      }
      pixmap = entry->pixmap;
      kept = entry->kept;
      generation = entry->generation;
      mapped = entry->mapped;
    }
    WindowImageRef image;
    if (pixmap) {
      // An unmapped window's pixmap still holds its last contents until the copy is made.
      if (auto source = prepare(entry, pixmap, mapped)) {
        xcb_damage_subtract(c, entry->damage, XCB_NONE, XCB_NONE);
        image = renderScaled(connection, *formats.argb32(), source->pixmap->id, source->format,
                             source->size, size, deadline());
      }
    } else if (!mapped && kept) {
      image = resampled(*kept, size);
    }
    std::lock_guard lock(mutex);
    if (!image || entry->gone) {
      return nullptr;
    }
    entry->remember(size, generation, image);
    return image;
  }

  // Runs on the keeper thread after a window was unmapped.
  void keep(const std::shared_ptr<TrackedWindow>& entry) {
    std::shared_ptr<NamedPixmap> pixmap;
    std::uint64_t generation = 0;
    {
      std::lock_guard lock(mutex);
      pixmap = entry->pixmap;
      generation = entry->generation;
      if (entry->gone || entry->mapped || !pixmap) {
        entry->keeping = false;
        return;
      }
    }
    WindowImageRef image;
    if (auto source = prepare(entry, pixmap, /*rename=*/false)) {
      image = renderScaled(connection, *formats.argb32(), source->pixmap->id, source->format,
                           source->size, fittedWithin(source->size, kKeptLongSide), deadline());
    }
    {
      std::lock_guard lock(mutex);
      entry->keeping = false;
      if (image && !entry->gone) {
        entry->kept = std::move(image);
        entry->keptGeneration = generation;
      }
      if (!entry->mapped && entry->pixmap == pixmap) {
        entry->pixmap.reset();  // the server's memory for the window goes with it
      }
    }
    pixmap.reset();
    connection.flush();
  }

  XConnection& connection;
  xcb_connection_t* c;
  const SharedPixelSpace* pixelSpace;
  bool supported = false;
  PictureFormats formats;
  std::uint8_t damageEvent = 0;

  std::mutex mutex;
  std::map<xcb_window_t, std::shared_ptr<TrackedWindow>> windows;
  // Destroyed windows whose pixmaps the main thread frees.
  std::vector<std::shared_ptr<TrackedWindow>> graveyard;
  bool syncing = false;
  std::vector<xcb_window_t> destroyedWhileSyncing;

  Signal<WindowNumber> destructions;
  QThreadPool keeper;
  Subscription destroyedWindows;
  Subscription events;
};

X11WindowCapture::X11WindowCapture(XConnection& connection, const SharedPixelSpace* pixelSpace)
    : impl_(std::make_unique<Impl>(connection, pixelSpace)) {}

X11WindowCapture::~X11WindowCapture() = default;

bool X11WindowCapture::hasPermission() {
  return impl_->supported && !impl_->connection.isLost();
}

WindowCapture::Content X11WindowCapture::shareableWindows() {
  return readShareableWindows(
      impl_->connection, impl_->pixelSpace ? impl_->pixelSpace->get() : PixelSpace{}, deadline());
}

WindowImageRef X11WindowCapture::capture(WindowNumber window, PixelSize size) {
  return impl_->capture(window, size);
}

Subscription X11WindowCapture::observeDestruction(std::function<void(WindowNumber)> observer) {
  return impl_->destructions.connect(std::move(observer));
}

}  // namespace quayline
