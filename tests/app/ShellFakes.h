#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/DockWindowList.h"
#include "foundation/Signal.h"
#include "platform/Displays.h"

namespace quayline {

// Screens and a pointer the test sets; screen changes are announced by `changeScreens`.
class ShellDisplays final : public Displays {
 public:
  std::vector<Screen> screens() override { return screens_; }
  std::optional<Screen> mainScreen() override {
    return screens_.empty() ? std::nullopt : std::optional(screens_.front());
  }
  std::optional<Rect> displayBounds(DisplayNumber) override { return std::nullopt; }
  Point pointerLocation() override { return pointer; }
  std::uint32_t pressedMouseButtons() override { return 0; }
  Subscription observeScreenChanges(std::function<void()> observer) override {
    return changed_.connect([observer](const int&) { observer(); });
  }
  void changeScreens(std::vector<Screen> screens) {
    screens_ = std::move(screens);
    changed_.emit(0);
  }

  Point pointer;

 private:
  std::vector<Screen> screens_;
  Signal<int> changed_;
};

// A dock window that writes what happens to it into a shared log ("show 1#0" is window 0
// shown on display 1).
class RecordingDockWindow final : public DockWindow {
 public:
  RecordingDockWindow(const Screen& screen, int serial, std::vector<std::string>& log)
      : screen_(screen), serial_(serial), log_(log) {}
  const Screen& screen() const override { return screen_; }
  void moveToScreen(const Screen& screen) override {
    screen_ = screen;
    note("move");
  }
  void show() override { note("show"); }
  void retire() override { note("retire"); }

 private:
  void note(const char* what) {
    log_.push_back(std::string(what) + " " + std::to_string(screen_.displayNumber) + "#" +
                   std::to_string(serial_));
  }
  Screen screen_;
  int serial_;
  std::vector<std::string>& log_;
};

}  // namespace quayline
