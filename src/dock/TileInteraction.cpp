#include "dock/TileInteraction.h"

#include "dock/AppTileActions.h"
#include "dock/ChromeProfileTileActions.h"
#include "dock/FolderTileActions.h"
#include "dock/TrashTileActions.h"
#include "model/TileStore.h"
#include "platform/Workspace.h"

namespace quayline {

void TileInteraction::click(const Tile& tile, std::optional<DisplayNumber> display,
                            const TileClickPlace& place) {
  if (tile.app()) {
    AppTileActions(services_, tile, display).activate();
  } else if (tile.chromeProfile()) {
    ChromeProfileTileActions(services_, tile).click();
  } else if (const FolderTile* folder = tile.folder()) {
    if (services_.folderStacks != nullptr) {
      FolderTileActions(*services_.folderStacks, services_.workspace, tile)
          .click(place.frame, place.screen, place.alternate);
    } else {
      services_.workspace.openURL(folder->url);
    }
  } else if (tile.isTrash()) {
    TrashTileActions::click(services_.trash);
  }
}

Menu TileInteraction::menu(const Tile& tile, std::optional<DisplayNumber> display) {
  if (const AppTile* app = tile.app()) {
    const bool running = services_.store.runningBundleIDs().contains(app->bundleIdentifier);
    return AppTileActions(services_, tile, display).contextMenuItems(running);
  }
  if (tile.chromeProfile()) {
    return ChromeProfileTileActions(services_, tile).contextMenuItems();
  }
  if (tile.folder() && services_.folderStacks != nullptr) {
    return FolderTileActions(*services_.folderStacks, services_.workspace, tile)
        .menu(services_.store);
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
