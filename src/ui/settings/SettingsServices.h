#pragma once

#include <functional>

class QWidget;

namespace quayline {

class ApplicationBundle;
class Confirmations;
class DistributedNotifications;
class DockEdgeActions;
class HiddenApps;
class IconStyleSettings;
class PreferenceDomains;
class Preferences;

// What the settings window reads and changes.
struct SettingsServices {
  Preferences& preferences;
  // The system dock's "tilesize" and the window's stored frame.
  PreferenceDomains& domains;
  DistributedNotifications& notifications;
  HiddenApps& hiddenApps;
  const DockEdgeActions& edgeActions;
  IconStyleSettings& iconStyle;
  ApplicationBundle& bundle;
  Confirmations& confirmations;
  // The main menu's "Quit Quayline".
  std::function<void()> quit;
};

// Builds the Permissions pane's content under `parent`; nothing when this build has none.
using PermissionsContent = std::function<QWidget*(QWidget* parent)>;

}  // namespace quayline
