#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quayline {

class Preferences;

// The status item's menu as values: the view builds its menu from these and hands chosen
// entries back to `choose`.
namespace StatusMenu {

inline constexpr const char* title = "Dock";
inline constexpr const char* toolTip = "Quayline";

enum class Action {
  none,
  toggleWindowPreviews,
  selectAppearance,
  openDockActions,
  toggleWindowSwitcher,
  openSettings,
  checkForUpdates,
  quit,
};

struct Entry {
  bool separator = false;
  std::string title;
  std::string keyEquivalent;  // empty for none
  Action action = Action::none;
  std::optional<std::string> representedObject;
  bool checked = false;
  std::vector<Entry> submenu;
  bool operator==(const Entry&) const = default;
};

// The entries, in order, with the check marks the current settings call for.
std::vector<Entry> entries(const Preferences& preferences);

// What is left for the caller: the actions that open windows, check for updates or quit.
// Settings toggles and the appearance choice are applied here.
Action choose(const Entry& entry, Preferences& preferences);

}  // namespace StatusMenu
}  // namespace quayline
