#pragma once

#include "app/PreferenceValues.h"
#include "foundation/Published.h"
#include "foundation/Subscription.h"
#include "platform/DesktopAppearance.h"

namespace quayline {

class Preferences;

// Whether the dock draws dark, and the desktop's accessibility display options. Each value is
// published only when it really changes.
class SystemAppearance {
 public:
  SystemAppearance(Preferences& preferences, DesktopAppearance& desktop);
  SystemAppearance(const SystemAppearance&) = delete;
  SystemAppearance& operator=(const SystemAppearance&) = delete;

  // A forced appearance mode wins over the desktop's colour scheme.
  static bool isDark(AppearanceMode mode, DesktopAppearance::ColorScheme desktopScheme);

  bool isDark() const { return isDark_.get(); }
  bool reduceTransparency() const { return reduceTransparency_.get(); }
  bool reduceMotion() const { return reduceMotion_.get(); }
  bool increaseContrast() const { return increaseContrast_.get(); }

  Subscription observeDark(Signal<bool>::Callback observer) {
    return isDark_.observe(std::move(observer));
  }
  Subscription observeReduceTransparency(Signal<bool>::Callback observer) {
    return reduceTransparency_.observe(std::move(observer));
  }
  Subscription observeReduceMotion(Signal<bool>::Callback observer) {
    return reduceMotion_.observe(std::move(observer));
  }
  Subscription observeIncreaseContrast(Signal<bool>::Callback observer) {
    return increaseContrast_.observe(std::move(observer));
  }

 private:
  void refresh();
  void watchAppearanceMode();

  Preferences& preferences_;
  DesktopAppearance& desktop_;
  Published<bool> isDark_;
  Published<bool> reduceTransparency_;
  Published<bool> reduceMotion_;
  Published<bool> increaseContrast_;
  Subscription desktopChanged_;
  Subscription modeChanged_;
};

}  // namespace quayline
