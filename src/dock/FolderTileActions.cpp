#include "dock/FolderTileActions.h"

#include "dock/AppTileActions.h"
#include "dock/TileMenu.h"
#include "platform/Workspace.h"
#include "stacks/FolderStackController.h"

namespace quayline {

FolderTileActions::FolderTileActions(FolderStackController& stacks, Workspace& workspace, Tile tile)
    : stacks_(stacks), workspace_(workspace), tile_(std::move(tile)) {}

void FolderTileActions::click(const Rect& frame, std::optional<DisplayNumber> screen,
                              bool alternate) const {
  // A tile never laid out has no place to show a stack above.
  if (alternate || frame == Rect()) {
    openFolder();
    return;
  }
  stacks_.toggle(folder(), frame, screen);
}

Menu FolderTileActions::menu(TileStore& store) const {
  const std::string path = folder().url.path();
  const FolderStackStyle style = stacks_.style(path);
  FolderStackController& stacks = stacks_;
  const auto choose = [&stacks, path](FolderStackStyle chosen) {
    return [&stacks, path, chosen] { stacks.setStyle(chosen, path); };
  };
  Menu open{MenuEntry::button("Open \u201C" + folder().displayName + "\u201D",
                              [actions = *this] { actions.openFolder(); })};
  Menu viewAs{MenuEntry::submenu(
      "View as",
      {MenuEntry::choice("Grid", style == FolderStackStyle::grid, choose(FolderStackStyle::grid)),
       MenuEntry::choice("List", style == FolderStackStyle::list,
                         choose(FolderStackStyle::list))})};
  Menu removal{MenuEntry::button("Remove from Dock",
                                 [&store, tile = tile_] { removeFromDock(store, tile); })};
  Menu options{TileOptionsMenu{{}, folder().url}.entry(workspace_)};
  return joinGroups({std::move(open), std::move(viewAs), std::move(removal), std::move(options)});
}

void FolderTileActions::openFolder() const {
  stacks_.hide();
  workspace_.openURL(folder().url);
}

}  // namespace quayline
