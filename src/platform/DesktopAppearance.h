#pragma once

#include <functional>
#include <string>

#include "foundation/Subscription.h"

namespace quayline {

// The desktop's own appearance settings, as far as the desktop publishes them.
class DesktopAppearance {
 public:
  enum class ColorScheme { light, dark };

  struct AccessibilityDisplayOptions {
    bool reduceTransparency = false;
    bool reduceMotion = false;
    bool increaseContrast = false;
    bool operator==(const AccessibilityDisplayOptions&) const = default;
  };

  virtual ~DesktopAppearance() = default;

  // Light when the desktop states no preference.
  virtual ColorScheme colorScheme() = 0;
  // Each flag off where the desktop does not publish it.
  virtual AccessibilityDisplayOptions accessibilityDisplayOptions() = 0;
  // The name of the icon style in use; empty when the desktop names none.
  virtual std::string iconTheme() = 0;
  // Called on the main thread after the colour scheme or an accessibility option changed.
  virtual Subscription observeChanges(std::function<void()> observer) = 0;
};

}  // namespace quayline
