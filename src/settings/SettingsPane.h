#pragma once

#include <array>
#include <string_view>
#include <utility>

#include "foundation/Enumeration.h"

namespace quayline {

// The panes of the settings window, in sidebar order.
enum class SettingsPane { general, behavior, hiddenApps, permissions, about };

template <>
struct EnumerationCases<SettingsPane> {
  static constexpr std::array<std::pair<SettingsPane, std::string_view>, 5> cases{{
      {SettingsPane::general, "general"},
      {SettingsPane::behavior, "behavior"},
      {SettingsPane::hiddenApps, "hiddenApps"},
      {SettingsPane::permissions, "permissions"},
      {SettingsPane::about, "about"},
  }};
};

// The sidebar's text for the pane.
std::string_view title(SettingsPane pane);
// The platform's symbol name for the pane; views map it to an icon of their own.
std::string_view symbol(SettingsPane pane);

}  // namespace quayline
