#pragma once

#include <memory>
#include <mutex>

#include "foundation/Signal.h"
#include "platform/Displays.h"

namespace quayline {

namespace x11 {
class XConnection;
class SharedPixelSpace;
struct PixelSpace;
}  // namespace x11

// The screens as Qt sees them (a QGuiApplication must exist), the pointer and its buttons from the
// X server. Screen frames are converted to the bottom-left, y-up space of the primary screen, in
// Qt's logical coordinates; visible frames leave out what other programs' panels reserve. Main
// thread only, except `pixelSpace`.
class QtDisplays final : public Displays {
 public:
  // `published`, when given, receives the screens' pixel space whenever it changes, for the
  // adapters that convert window geometry.
  explicit QtDisplays(x11::XConnection& connection, x11::SharedPixelSpace* published = nullptr);
  ~QtDisplays() override;
  QtDisplays(const QtDisplays&) = delete;
  QtDisplays& operator=(const QtDisplays&) = delete;

  std::vector<Screen> screens() override;
  std::optional<Screen> mainScreen() override;
  std::optional<Rect> displayBounds(DisplayNumber display) override;
  Point pointerLocation() override;
  std::uint32_t pressedMouseButtons() override;
  Subscription observeScreenChanges(std::function<void()> observer) override;

  // The screens in X pixels with their scale; the primary one holds the origin of the global
  // display space. Safe to call from any thread.
  x11::PixelSpace pixelSpace() const;
  // The same, read from Qt now: for adapters made before the displays. Main thread only; no
  // screens without a QGuiApplication.
  static x11::PixelSpace pixelSpaceNow();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quayline
