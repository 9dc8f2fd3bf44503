#pragma once

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/WindowCapture.h"

namespace quayline::x11 {

// A pixmap named for a window: the window's contents, which the server keeps in it even after
// the window is unmapped. Freed when the last capture reading it lets it go.
struct NamedPixmap {
  NamedPixmap(xcb_connection_t* connection_, xcb_pixmap_t id_) : connection(connection_), id(id_) {}
  ~NamedPixmap() { xcb_free_pixmap(connection, id); }
  NamedPixmap(const NamedPixmap&) = delete;
  NamedPixmap& operator=(const NamedPixmap&) = delete;

  xcb_connection_t* connection;
  xcb_pixmap_t id;
  std::optional<PixelSize> size;  // read on first use
};

// A client window the capture follows. Plain data, guarded by the capture's mutex.
struct TrackedWindow {
  struct Cached {
    PixelSize size;
    std::uint64_t generation = 0;
    WindowImageRef image;
  };

  xcb_window_t window = XCB_WINDOW_NONE;
  xcb_damage_damage_t damage = 0;
  bool mapped = false;
  // Destroyed or no longer a client: captures under way must not answer for it.
  bool gone = false;
  // Grows with every damage, map and resize: a cached image of an older generation is stale.
  std::uint64_t generation = 0;
  std::shared_ptr<NamedPixmap> pixmap;
  std::optional<xcb_visualid_t> visual;
  std::optional<std::array<int, 3>> geometry;  // width, height, border
  std::vector<Cached> cache;                   // most recent last
  WindowImageRef kept;                         // for when the window is unmapped
  std::uint64_t keptGeneration = 0;
  bool keeping = false;  // a copy is being made

  // Thumbnails and previews ask for a window at two sizes at most.
  static constexpr std::size_t kCachedSizes = 2;

  WindowImageRef cached(PixelSize size) const {
    for (const Cached& entry : cache) {
      if (entry.size == size && entry.generation == generation) {
        return entry.image;
      }
    }
    return nullptr;
  }
  void remember(PixelSize size, std::uint64_t of, WindowImageRef image) {
    std::erase_if(cache, [&](const Cached& entry) { return entry.size == size; });
    cache.push_back({size, of, std::move(image)});
    if (cache.size() > kCachedSizes) {
      cache.erase(cache.begin());
    }
  }
};

}  // namespace quayline::x11
