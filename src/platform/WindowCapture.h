#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "foundation/Geometry.h"
#include "foundation/Subscription.h"

namespace quayline {

// The window server's number of a window (an X window id on X11).
using WindowNumber = std::uint32_t;

// Pixels of a captured window: rows top to bottom, each pixel 0xAARRGGBB with premultiplied
// alpha. Shared, never changed once made, so a table of images copies only pointers.
struct WindowImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // width × height
};
using WindowImageRef = std::shared_ptr<const WindowImage>;

struct PixelSize {
  int width = 0;
  int height = 0;
  bool operator==(const PixelSize&) const = default;
};

// A window the capture service can take an image of, with its frame in points (global display
// space).
struct ShareableWindow {
  WindowNumber number = 0;
  Rect frame;
  bool operator==(const ShareableWindow&) const = default;
};

// Images of other applications' windows.
class WindowCapture {
 public:
  // The windows that can be captured, in the service's order; or why none can be listed.
  using Content = std::variant<std::vector<ShareableWindow>, std::string>;

  virtual ~WindowCapture() = default;

  // Whether this process may capture windows at all. Main thread.
  virtual bool hasPermission() = 0;
  // Every window, on screen or not (minimized and other desktops' windows too). Any thread.
  virtual Content shareableWindows() = 0;
  // The window scaled to fit `size` (no cursor, no shadow); nothing when the window is gone or
  // refuses. Safe to call from several threads at once.
  virtual WindowImageRef capture(WindowNumber window, PixelSize size) = 0;
  // Called on the main thread when a window is destroyed. Window numbers are reused at once, so
  // anything kept under a number must go with its window.
  virtual Subscription observeDestruction(std::function<void(WindowNumber)> observer) = 0;
};

}  // namespace quayline
