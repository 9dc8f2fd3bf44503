#pragma once

#include "foundation/Signal.h"
#include "platform/DesktopAppearance.h"

namespace quayline {

// The desktop's appearance settings in memory; `changeScheme` and friends notify like the
// desktop would.
class FakeDesktopAppearance final : public DesktopAppearance {
 public:
  ColorScheme colorScheme() override { return scheme; }
  AccessibilityDisplayOptions accessibilityDisplayOptions() override { return options; }
  std::string iconTheme() override {
    ++iconThemeReads;
    return theme;
  }
  Subscription observeChanges(std::function<void()> observer) override {
    return changed_.connect([observer = std::move(observer)] { observer(); });
  }

  void notify() { changed_.emit(); }

  ColorScheme scheme = ColorScheme::light;
  AccessibilityDisplayOptions options;
  std::string theme = "Adwaita";
  int iconThemeReads = 0;

 private:
  Signal<> changed_;
};

}  // namespace quayline
