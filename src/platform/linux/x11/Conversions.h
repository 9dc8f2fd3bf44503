#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

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
