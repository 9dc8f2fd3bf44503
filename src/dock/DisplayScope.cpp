#include "dock/DisplayScope.h"

#include <algorithm>
#include <cmath>

namespace quayline {

std::vector<DisplayBounds> DisplayBounds::current(Displays& displays) {
  std::vector<DisplayBounds> result;
  for (const auto& screen : displays.screens()) {
    if (auto bounds = displays.displayBounds(screen.displayNumber)) {
      result.push_back({screen.displayNumber, *bounds});
    }
  }
  return result;
}

namespace DisplayScope {

std::optional<DisplayNumber> displayID(const std::optional<Rect>& windowFrame,
                                       const std::vector<DisplayBounds>& displays) {
  if (!windowFrame || windowFrame->isEmpty() || !std::isfinite(windowFrame->width()) ||
      !std::isfinite(windowFrame->height()) || !std::isfinite(windowFrame->origin.x) ||
      !std::isfinite(windowFrame->origin.y)) {
    return std::nullopt;
  }
  const Point middle{windowFrame->midX(), windowFrame->midY()};
  for (const auto& display : displays) {
    if (contains(display.frame, middle)) {
      return display.id;
    }
  }
  std::optional<DisplayNumber> best;
  double bestArea = 0;
  for (const auto& display : displays) {
    const Rect overlap = windowFrame->intersection(display.frame);
    if (overlap.isEmpty()) {
      continue;
    }
    if (!best || overlap.area() > bestArea) {  // ties keep the earlier display
      best = display.id;
      bestArea = overlap.area();
    }
  }
  return best;
}

std::vector<DisplayNumber> windowDisplays(const Tile& tile, const TileWindows& windows,
                                          const std::vector<DisplayBounds>& displays) {
  if (!tile.app() && !tile.chromeProfile()) {
    return {};
  }
  std::vector<DisplayNumber> result;
  for (const auto& window : windows(tile)) {
    if (auto display = displayID(window.frame, displays)) {
      result.push_back(*display);
    }
  }
  return result;
}

std::vector<AppWindow> windows(const std::vector<AppWindow>& windows, DisplayNumber display,
                               const std::vector<DisplayBounds>& displays) {
  std::vector<AppWindow> result;
  for (const auto& window : windows) {
    if (displayID(window.frame, displays) == display) {
      result.push_back(window);
    }
  }
  return result;
}

std::vector<Tile> tiles(const std::vector<Tile>& tiles, std::optional<DisplayNumber> display,
                        RunningAppsScope effectiveScope, const TileWindows& windows,
                        const std::vector<DisplayBounds>& displays) {
  if (effectiveScope != RunningAppsScope::displayWithWindows || !display) {
    return tiles;
  }
  std::vector<Tile> result;
  std::optional<Tile> heldDivider;
  for (const auto& tile : tiles) {
    if (tile.id == "divider:running") {
      heldDivider = tile;
      continue;
    }
    if (tile.id.starts_with("running:") || tile.id.starts_with("chrome-profile:")) {
      const auto shownOn = windowDisplays(tile, windows, displays);
      if (std::find(shownOn.begin(), shownOn.end(), *display) == shownOn.end()) {
        continue;
      }
      if (heldDivider) {
        result.push_back(std::move(*heldDivider));
        heldDivider.reset();
      }
    }
    result.push_back(tile);
  }
  return result;
}

}  // namespace DisplayScope
}  // namespace quayline
