#include "app/SwitcherSettings.h"

#include "app/Preferences.h"
#include "switcher/WindowSwitcher.h"

namespace quayline {

SwitcherSettings::SwitcherSettings(Preferences& preferences, WindowSwitcher& switcher)
    : preferences_(preferences), switcher_(switcher) {}

void SwitcherSettings::apply() {
  // The registration is one-shot: renewed on every application.
  change_ = preferences_.observeNextChange(
      {Preferences::Key::switcherUsesCommandTab, Preferences::Key::windowSwitcherEnabled},
      [this] { apply(); });
  const auto shortcut = preferences_.switcherUsesCommandTab() ? WindowSwitcher::Shortcut::commandTab
                                                              : WindowSwitcher::Shortcut::optionTab;
  switcher_.setShortcut(shortcut);
  switcher_.hotkey().setModifier(WindowSwitcher::modifierFor(shortcut));
  switcher_.setEnabled(preferences_.windowSwitcherEnabled());
}

}  // namespace quayline
