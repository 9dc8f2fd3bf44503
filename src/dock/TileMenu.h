#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dock/MenuModel.h"
#include "foundation/Url.h"
#include "windows/AppWindow.h"

namespace quayline {

class Workspace;

namespace TileMenu {

// A window's entry in its tile's menu: "Untitled" for no title, long titles cut (at a late
// space when there is one) and ended with "…", minimized windows marked with "◇ ".
std::string title(const AppWindow& window);

}  // namespace TileMenu

// The "Options" submenu shared by application and profile tiles.
struct TileOptionsMenu {
  struct Item {
    std::string title;
    std::function<void()> action;
  };
  std::vector<Item> items;
  std::optional<Url> finderURL;

  // The submenu: one button per item, then "Show in Finder" when there is a location, which
  // reveals it through the workspace.
  MenuEntry entry(Workspace& workspace) const;
};

}  // namespace quayline
