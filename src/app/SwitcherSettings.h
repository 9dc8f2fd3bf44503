#pragma once

#include "foundation/Subscription.h"

namespace quayline {

class Preferences;
class WindowSwitcher;

// Keeps the switcher as the settings say: on or off, and which modifier starts it. Follows
// every later change of either setting.
class SwitcherSettings {
 public:
  SwitcherSettings(Preferences& preferences, WindowSwitcher& switcher);
  void apply();

 private:
  Preferences& preferences_;
  WindowSwitcher& switcher_;
  Subscription change_;
};

}  // namespace quayline
