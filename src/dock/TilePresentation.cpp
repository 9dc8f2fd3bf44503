#include "dock/TilePresentation.h"

#include <algorithm>

namespace quayline::TilePresentation {

TintColor dockTint(const std::optional<TintColor>& customTint, bool isDark) {
  if (customTint) {
    return *customTint;
  }
  return TintColor{1, 1, 1, isDark ? 0.1 : 0.5};
}

std::string appAccessibilityValue(bool lit, const std::optional<std::string>& badge) {
  std::string value = lit ? "running" : "";
  if (badge && !badge->empty()) {
    if (!value.empty()) {
      value += ' ';
    }
    value += "badge:" + *badge;
  }
  return value;
}

std::optional<std::string> profileToolTip(const ChromeProfileTile& profile, bool lit,
                                          bool previewsEnabled) {
  if (lit && previewsEnabled) {
    return std::nullopt;
  }
  return profile.displayName;
}

std::optional<std::string> appToolTip(const AppTile& app, bool hasWindows, bool previewsEnabled) {
  if (hasWindows && previewsEnabled) {
    return std::nullopt;
  }
  return app.displayName;
}

TileDisplayPlacement placement(const Tile& tile, const PlacementInputs& inputs) {
  TileDisplayPlacement result;
  if (const AppTile* app = tile.app()) {
    result.isLit = inputs.runningBundleIDs.count(app->bundleIdentifier) != 0;
  } else if (const ChromeProfileTile* profile = tile.chromeProfile()) {
    result.isLit = inputs.profileHasLiveWindows && inputs.profileHasLiveWindows(*profile);
  } else {
    return result;
  }
  if (tile.id.starts_with("system:")) {
    return result;
  }
  if (inputs.displayTarget != WindowDisplayTarget::allDisplays ||
      inputs.runningAppsScope != RunningAppsScope::displayWithWindows || !inputs.dockDisplay) {
    return result;
  }
  result.displayID = inputs.dockDisplay;
  if (result.isLit && inputs.windowDisplays) {
    const std::vector<DisplayNumber> displays = inputs.windowDisplays(tile);
    result.isLit = displays.empty() || std::find(displays.begin(), displays.end(),
                                                 *inputs.dockDisplay) != displays.end();
  }
  return result;
}

}  // namespace quayline::TilePresentation
