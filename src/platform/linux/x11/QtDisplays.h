#pragma once

#include <memory>
#include <mutex>

#include "foundation/Signal.h"
#include "platform/Displays.h"

namespace quayline {

namespace x11 {
class XConnection;
}

// The screens as Qt sees them (a QGuiApplication must exist), the pointer and its buttons from the
// X server. Screen frames are converted to the bottom-left, y-up space of the primary screen. Main
// thread only, except `primaryOrigin`.
class QtDisplays final : public Displays {
 public:
  explicit QtDisplays(x11::XConnection& connection);
  ~QtDisplays() override;
  QtDisplays(const QtDisplays&) = delete;
  QtDisplays& operator=(const QtDisplays&) = delete;

  std::vector<Screen> screens() override;
  std::optional<Screen> mainScreen() override;
  std::optional<Rect> displayBounds(DisplayNumber display) override;
  Point pointerLocation() override;
  std::uint32_t pressedMouseButtons() override;
  Subscription observeScreenChanges(std::function<void()> observer) override;

  // The primary screen's top-left corner in root coordinates (the origin of the global display
  // space). Safe to call from any thread.
  Point primaryOrigin() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quayline
