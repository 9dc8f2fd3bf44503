#include "app/StatusMenu.h"

#include "app/PreferenceValues.h"
#include "app/Preferences.h"
#include "foundation/Enumeration.h"

namespace quayline::StatusMenu {

namespace {

Entry item(std::string title, Action action, std::string key = {}) {
  Entry entry;
  entry.title = std::move(title);
  entry.action = action;
  entry.keyEquivalent = std::move(key);
  return entry;
}

Entry separator() {
  Entry entry;
  entry.separator = true;
  return entry;
}

}  // namespace

std::vector<Entry> entries(const Preferences& preferences) {
  Entry previews = item("Window Previews", Action::toggleWindowPreviews);
  previews.checked = preferences.windowPreviewsEnabled();

  Entry appearance = item("Appearance", Action::none);
  const std::pair<const char*, AppearanceMode> modes[] = {{"Match System", AppearanceMode::system},
                                                          {"Light", AppearanceMode::light},
                                                          {"Dark", AppearanceMode::dark}};
  for (const auto& [name, mode] : modes) {
    Entry choice = item(name, Action::selectAppearance);
    choice.representedObject = std::string(rawValue(mode));
    choice.checked = *choice.representedObject == rawValue(preferences.appearanceMode());
    appearance.submenu.push_back(std::move(choice));
  }

  Entry switcher = item("Window Switcher", Action::toggleWindowSwitcher);
  switcher.checked = preferences.windowSwitcherEnabled();

  return {previews,
          separator(),
          appearance,
          item("Dock Actions…", Action::openDockActions),
          switcher,
          separator(),
          item("Settings…", Action::openSettings, ","),
          item("Check for Updates…", Action::checkForUpdates),
          item("Quit Quayline", Action::quit, "q")};
}

Action choose(const Entry& entry, Preferences& preferences) {
  switch (entry.action) {
    case Action::toggleWindowPreviews:
      preferences.setWindowPreviewsEnabled(!preferences.windowPreviewsEnabled());
      return Action::none;
    case Action::toggleWindowSwitcher:
      preferences.setWindowSwitcherEnabled(!preferences.windowSwitcherEnabled());
      return Action::none;
    case Action::selectAppearance:
      if (entry.representedObject) {
        if (const auto mode = fromRawValue<AppearanceMode>(*entry.representedObject)) {
          preferences.setAppearanceMode(*mode);
        }
      }
      return Action::none;
    default:
      return entry.action;
  }
}

}  // namespace quayline::StatusMenu
