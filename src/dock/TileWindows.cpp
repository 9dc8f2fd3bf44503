#include "dock/TileWindows.h"

#include <algorithm>

#include "chrome/ChromeProfiles.h"
#include "windows/WindowRegistry.h"

namespace quayline {

DisplayScope::TileWindows tileWindows(const WindowRegistry& registry, ChromeProfiles& profiles) {
  return [&registry, &profiles](const Tile& tile) -> std::vector<AppWindow> {
    const AppTile* app = tile.app();
    if (!app) {
      // Profile tiles get their windows once windows are attributed to profiles; until then
      // they have none.
      return {};
    }
    if (app->processIdentifier) {
      auto windows = registry.windows(app->bundleIdentifier);
      std::erase_if(windows, [&](const AppWindow& w) { return w.pid != *app->processIdentifier; });
      return windows;
    }
    if (app->bundleIdentifier == kChromeBundleIdentifier) {
      return profiles.unattributedWindows();
    }
    return registry.windows(app->bundleIdentifier);
  };
}

}  // namespace quayline
