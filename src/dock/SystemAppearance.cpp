#include "dock/SystemAppearance.h"

#include "app/Preferences.h"

namespace quayline {

SystemAppearance::SystemAppearance(Preferences& preferences, DesktopAppearance& desktop)
    : preferences_(preferences), desktop_(desktop) {
  refresh();
  desktopChanged_ = desktop_.observeChanges([this] { refresh(); });
  watchAppearanceMode();
}

bool SystemAppearance::isDark(AppearanceMode mode, DesktopAppearance::ColorScheme desktopScheme) {
  switch (mode) {
    case AppearanceMode::dark:
      return true;
    case AppearanceMode::light:
      return false;
    case AppearanceMode::system:
      break;
  }
  return desktopScheme == DesktopAppearance::ColorScheme::dark;
}

void SystemAppearance::refresh() {
  isDark_.set(isDark(preferences_.appearanceMode(), desktop_.colorScheme()));
  const DesktopAppearance::AccessibilityDisplayOptions options =
      desktop_.accessibilityDisplayOptions();
  reduceTransparency_.set(options.reduceTransparency);
  reduceMotion_.set(options.reduceMotion);
  increaseContrast_.set(options.increaseContrast);
}

void SystemAppearance::watchAppearanceMode() {
  // The registration is one-shot: renew it from inside the callback.
  modeChanged_ = preferences_.observeNextChange({Preferences::Key::appearanceMode}, [this] {
    refresh();
    watchAppearanceMode();
  });
}

}  // namespace quayline
