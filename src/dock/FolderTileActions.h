#pragma once

#include <optional>

#include "dock/MenuModel.h"
#include "foundation/Geometry.h"
#include "model/Tile.h"
#include "platform/Displays.h"

namespace quayline {

class FolderStackController;
class TileStore;
class Workspace;

// A folder tile's click and menu: the click opens the folder's stack, the menu opens the folder,
// chooses the stack's style and removes the tile.
class FolderTileActions {
 public:
  FolderTileActions(FolderStackController& stacks, Workspace& workspace, Tile tile);

  // `frame`: the tile in screen space, empty when it was never laid out; `alternate`: the
  // modifier that opens the folder itself (Alt, the file managers' Option).
  void click(const Rect& frame, std::optional<DisplayNumber> screen, bool alternate) const;
  Menu menu(TileStore& store) const;

 private:
  void openFolder() const;
  const FolderTile& folder() const { return *tile_.folder(); }

  FolderStackController& stacks_;
  Workspace& workspace_;
  Tile tile_;  // holds a folder
};

}  // namespace quayline
