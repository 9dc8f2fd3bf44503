#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "foundation/Geometry.h"
#include "foundation/Subscription.h"

namespace quayline {

using DisplayNumber = std::uint32_t;

// One screen. Frames are in the application framework's space: origin at the bottom left of
// the primary display, y up.
struct Screen {
  DisplayNumber displayNumber = 0;
  Rect frame;
  Rect visibleFrame;  // without the areas other programs' panels and docks reserve
  double backingScaleFactor = 1;
  bool operator==(const Screen&) const = default;
};

class Displays {
 public:
  virtual ~Displays() = default;

  // The first screen is the primary one (it holds the space's origin).
  virtual std::vector<Screen> screens() = 0;
  // The screen with the keyboard focus (the one holding the active window).
  virtual std::optional<Screen> mainScreen() = 0;
  // The global display space's bounds of a display (top-left origin, y down).
  virtual std::optional<Rect> displayBounds(DisplayNumber display) = 0;

  // In the application framework's space.
  virtual Point pointerLocation() = 0;
  // Bit 0 the primary button, bit 1 the secondary, and so on.
  virtual std::uint32_t pressedMouseButtons() = 0;

  // Called on the main thread after screens are added, removed or rearranged.
  virtual Subscription observeScreenChanges(std::function<void()> observer) = 0;
};

}  // namespace quayline
