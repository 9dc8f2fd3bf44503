#pragma once

#include <functional>
#include <memory>

#include "foundation/Geometry.h"
#include "platform/WindowCapture.h"

namespace quayline {

namespace x11 {
class XConnection;
class SharedPixelSpace;
}  // namespace x11

// Images of the window manager's client windows through Composite, Damage and Render. Every
// client is redirected (automatic mode) when it is first seen, so its pixmap holds the whole
// window even where others cover it; a pixmap is named on each map and resize, Damage tells
// which windows changed since their last capture, and Render scales on the server so only the
// small result crosses the connection.
//
// A window the window manager has unmapped (minimized, on another desktop) cannot be read. Its
// pixmap named while it was mapped keeps the last contents, so on unmapping a copy of at most 512
// pixels on its long side is made from it in the background and the pixmap let go; captures of
// the unmapped window are scaled from that copy. A window never seen mapped has no image.
//
// Lives on the main thread (events, destruction observers); `shareableWindows` and `capture`
// may be called from any thread, `capture` from several at once.
class X11WindowCapture final : public WindowCapture {
 public:
  // `pixelSpace` converts X pixels to points (X pixels are points when not given).
  explicit X11WindowCapture(x11::XConnection& connection,
                            const x11::SharedPixelSpace* pixelSpace = nullptr);
  ~X11WindowCapture() override;
  X11WindowCapture(const X11WindowCapture&) = delete;
  X11WindowCapture& operator=(const X11WindowCapture&) = delete;

  // False without Composite (0.2), Damage or Render (0.10), which is also what an untrusted
  // client sees, or once the connection is lost.
  bool hasPermission() override;
  Content shareableWindows() override;
  WindowImageRef capture(WindowNumber window, PixelSize size) override;
  Subscription observeDestruction(std::function<void(WindowNumber)> observer) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quayline
