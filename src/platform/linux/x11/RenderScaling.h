#pragma once

#include <xcb/render.h>
#include <xcb/xcb.h>

#include <map>
#include <optional>
#include <vector>

#include "platform/WindowCapture.h"
#include "platform/linux/x11/XConnection.h"

namespace quayline::x11 {

// Render's picture formats on a connection: the one that describes each visual's pixels, and the
// 32-bit ARGB format scaled copies are made in.
class PictureFormats {
 public:
  // One round trip. Empty (no ARGB format, no visuals) when Render does not answer.
  static PictureFormats read(XConnection& connection, Deadline deadline);

  std::optional<xcb_render_pictformat_t> ofVisual(xcb_visualid_t visual) const;
  std::optional<xcb_render_pictformat_t> argb32() const { return argb32_; }

 private:
  std::map<xcb_visualid_t, xcb_render_pictformat_t> visuals_;
  std::optional<xcb_render_pictformat_t> argb32_;
};

// The sizes an image of `from` pixels passes through on its way to `to`: halvings (rounded up, so
// no step reads past the edge) of each side still more than twice its target, then the target
// itself. A filter that blends 2×2 neighbours reduces each halving without aliasing, where one
// bilinear step of 4× or more skips most of the source. Never empty.
std::vector<PixelSize> scalingSteps(PixelSize from, PixelSize to);

// The drawable's pixels (`sourceSize`, in `sourceFormat`) scaled on the server to exactly `size`
// along `scalingSteps`, then read back with one GetImage: rows top to bottom, 0xAARRGGBB
// premultiplied; opaque when the source format has no alpha. Nothing when any step fails (the
// drawable went away, the server ran out of memory, the connection broke).
WindowImageRef renderScaled(XConnection& connection, xcb_render_pictformat_t argb32,
                            xcb_drawable_t source, xcb_render_pictformat_t sourceFormat,
                            PixelSize sourceSize, PixelSize size, Deadline deadline);

}  // namespace quayline::x11
