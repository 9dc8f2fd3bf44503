#pragma once

#include <optional>
#include <vector>

#include "foundation/Signal.h"
#include "platform/Displays.h"

namespace quayline {

// Screens and a pointer held in memory. Tests move `pointer` and edit `list`, then call
// `screensChanged()` to deliver the change as the window system would.
class FakeDisplays final : public Displays {
 public:
  std::vector<Screen> screens() override { return list; }
  std::optional<Screen> mainScreen() override {
    return list.empty() ? std::nullopt : std::optional<Screen>(list.front());
  }
  std::optional<Rect> displayBounds(DisplayNumber display) override {
    if (list.empty()) {
      return std::nullopt;
    }
    // The global display space is y down from the primary screen's top-left corner.
    const double primaryHeight = list.front().frame.height();
    for (const Screen& screen : list) {
      if (screen.displayNumber == display) {
        const Rect& f = screen.frame;
        return Rect(f.minX(), primaryHeight - f.maxY(), f.width(), f.height());
      }
    }
    return std::nullopt;
  }
  Point pointerLocation() override { return pointer; }
  std::uint32_t pressedMouseButtons() override { return buttons; }
  Subscription observeScreenChanges(std::function<void()> observer) override {
    return changed_.connect(std::move(observer));
  }

  void screensChanged() { changed_.emit(); }

  std::vector<Screen> list{Screen{1, Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 875), 2}};
  Point pointer;
  std::uint32_t buttons = 0;

 private:
  Signal<> changed_;
};

}  // namespace quayline
