#pragma once

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/PreferenceValues.h"
#include "dock/DisplayScope.h"
#include "model/Tile.h"

namespace quayline {

// The decisions behind what a tile view shows, kept apart from the painting.
namespace TilePresentation {

// The dock's background colour: the user's tint, else white at 0.1 when dark, 0.5 when light.
TintColor dockTint(const std::optional<TintColor>& customTint, bool isDark);

// "running" when lit and "badge:<text>" when badged, joined by one space.
std::string appAccessibilityValue(bool lit, const std::optional<std::string>& badge);

// The app's name, unless its windows' previews take the tool tip's place.
std::optional<std::string> appToolTip(const AppTile& app, bool hasWindows, bool previewsEnabled);
// The profile's name, unless the tile is lit and its windows' previews take that place.
std::optional<std::string> profileToolTip(const ChromeProfileTile& profile, bool lit,
                                          bool previewsEnabled);

struct PlacementInputs {
  const std::set<std::string>& runningBundleIDs;
  WindowDisplayTarget displayTarget;
  RunningAppsScope runningAppsScope;
  std::optional<DisplayNumber> dockDisplay;
  // Whether the browser profile of a tile has live windows.
  std::function<bool(const ChromeProfileTile&)> profileHasLiveWindows;
  // The displays of the windows a tile stands for.
  std::function<std::vector<DisplayNumber>(const Tile&)> windowDisplays;
};

// Whether the tile's running light is on in this dock, and the dock display it is shown for.
TileDisplayPlacement placement(const Tile& tile, const PlacementInputs& inputs);

}  // namespace TilePresentation
}  // namespace quayline
