#pragma once

#include "foundation/Published.h"
#include "settings/SettingsPane.h"

namespace quayline {

// Which pane the settings window shows; the sidebar and `show(pane)` both set it.
struct SettingsNavigation {
  Published<SettingsPane> pane{SettingsPane::general};
};

}  // namespace quayline
