#include "settings/SettingsPane.h"

namespace quayline {

std::string_view title(SettingsPane pane) {
  switch (pane) {
    case SettingsPane::general:
      return "General";
    case SettingsPane::behavior:
      return "Behavior";
    case SettingsPane::hiddenApps:
      return "Hidden Apps";
    case SettingsPane::permissions:
      return "Permissions";
    case SettingsPane::about:
      return "About";
  }
  return {};
}

std::string_view symbol(SettingsPane pane) {
  switch (pane) {
    case SettingsPane::general:
      return "gearshape";
    case SettingsPane::behavior:
      return "cursorarrow.click.2";
    case SettingsPane::hiddenApps:
      return "eye.slash";
    case SettingsPane::permissions:
      return "lock.shield";
    case SettingsPane::about:
      return "info.circle";
  }
  return {};
}

}  // namespace quayline
