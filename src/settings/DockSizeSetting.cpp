#include "settings/DockSizeSetting.h"

#include <cmath>

#include "dock/DockLayout.h"
#include "model/SystemDockPreferences.h"

namespace quayline::DockSizeSetting {

double stored(PreferenceDomains& domains) {
  return DockLayout::current(domains).tileSize;
}

bool commit(double value, PreferenceDomains& domains, DistributedNotifications& notifications) {
  if (!std::isfinite(value)) {
    return false;
  }
  const double rounded = std::round(value);
  if (rounded == stored(domains)) {
    return false;
  }
  SystemDockPreferences::setTileSize(domains, notifications, rounded);
  return true;
}

}  // namespace quayline::DockSizeSetting
