#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Geometry.h"

// Where X11 values become Quayline values: text, rectangles and the two coordinate spaces.
namespace quayline::x11 {

// Ill-formed sequences become U+FFFD, so a title with stray bytes still reads as text.
std::string repairedUtf8(std::string_view bytes);
// ICCCM STRING properties are ISO 8859-1.
std::string latin1ToUtf8(std::string_view bytes);

// _NET_FRAME_EXTENTS order: left, right, top, bottom.
using FrameExtents = std::array<std::uint32_t, 4>;

// The window manager's frame around a client whose origin sits at `clientOrigin` in root
// coordinates, in the global top-left space.
inline Rect frameOf(Point clientOrigin, Size clientSize, const FrameExtents& extents) {
  return Rect(clientOrigin.x - extents[0], clientOrigin.y - extents[2],
              clientSize.width + extents[0] + extents[1],
              clientSize.height + extents[2] + extents[3]);
}

// The client size that gives a frame of `frameSize`; never below one pixel.
inline Size clientSizeFor(Size frameSize, const FrameExtents& extents) {
  return Size{std::max(1.0, frameSize.width - extents[0] - extents[1]),
              std::max(1.0, frameSize.height - extents[2] - extents[3])};
}

// A rectangle of the global top-left space (y down, origin at the primary screen's top left)
// in the bottom-left space (y up, origin at the primary screen's bottom left).
inline Rect toBottomLeftSpace(const Rect& topLeft, double primaryHeight) {
  return Rect(topLeft.minX(), primaryHeight - topLeft.maxY(), topLeft.width(), topLeft.height());
}

inline Point toBottomLeftSpace(Point topLeft, double primaryHeight) {
  return Point{topLeft.x, primaryHeight - topLeft.y};
}

// Rectangles of the root window (Qt's virtual desktop coordinates) in the global top-left space,
// whose origin is the primary screen's top-left corner.
inline Rect rootToGlobal(const Rect& root, Point primaryOrigin) {
  return root.offsetBy(-primaryOrigin.x, -primaryOrigin.y);
}

inline Point rootToGlobal(Point root, Point primaryOrigin) {
  return Point{root.x - primaryOrigin.x, root.y - primaryOrigin.y};
}

// One screen: its rectangle of the root window in X pixels and the factor the toolkit divides
// it by (2 with QT_SCALE_FACTOR=2 or Xft.dpi 192).
struct ScaledScreen {
  Rect pixels;
  double scale = 1;
  // The same screen in the toolkit's logical coordinates: scaled about its top-left corner, which
  // both spaces share.
  Rect logical() const {
    return Rect(pixels.origin, Size{pixels.width() / scale, pixels.height() / scale});
  }
  bool operator==(const ScaledScreen&) const = default;
};

// The root window's X pixels against the toolkit's logical coordinates (where the displays'
// frames live). Window geometry read from or sent to the X server crosses here. A point maps
// through the screen holding it (the nearest one when it lies off every screen); without screens
// both spaces are the same.
struct PixelSpace {
  std::vector<ScaledScreen> screens;  // the primary one first

  // The primary screen's top-left corner, the same in both spaces.
  Point primaryOrigin() const;
  // The scale of the screen holding `pixel`; 1 without screens.
  double scaleAt(Point pixel) const;

  Point toLogical(Point pixel) const;
  // Scaled by the screen holding the rectangle's origin.
  Rect toLogical(const Rect& pixels) const;
  Point toPixels(Point logical) const;
  Rect toPixels(const Rect& logical) const;
  // The bounds of every screen, in X pixels.
  Rect pixelBounds() const;

  bool operator==(const PixelSpace&) const = default;
};

// X pointer button masks (Button1Mask = 1 << 8 …) in the order the port reports them: primary,
// secondary, then middle.
inline std::uint32_t pressedButtons(std::uint16_t mask) {
  std::uint32_t buttons = 0;
  if (mask & (1u << 8)) {
    buttons |= 1u << 0;
  }
  if (mask & (1u << 10)) {
    buttons |= 1u << 1;
  }
  if (mask & (1u << 9)) {
    buttons |= 1u << 2;
  }
  return buttons;
}

}  // namespace quayline::x11
