#include "dock/TileInteraction.h"

#include "dock/AppTileActions.h"
#include "dock/TrashTileActions.h"
#include "model/TileStore.h"

namespace quayline {

void TileInteraction::click(const Tile& tile, std::optional<DisplayNumber> display) {
  if (tile.app()) {
    AppTileActions(services_, tile, display).activate();
  } else if (tile.isTrash()) {
    TrashTileActions::click(services_.trash);
  }
}

Menu TileInteraction::menu(const Tile& tile, std::optional<DisplayNumber> display) {
  if (const AppTile* app = tile.app()) {
    const bool running = services_.store.runningBundleIDs().contains(app->bundleIdentifier);
    return AppTileActions(services_, tile, display).contextMenuItems(running);
  }
  if (tile.isTrash()) {
    return TrashTileActions::menu(services_.trash, services_.confirmations);
  }
  if (tile.spacer()) {
    return {MenuEntry::button("Remove from Dock",
                              [&store = services_.store, tile] { removeFromDock(store, tile); })};
  }
  return {};
}

}  // namespace quayline
