#pragma once

#include <optional>
#include <vector>

#include "dock/AppRecentItems.h"
#include "dock/MenuModel.h"
#include "dock/TileActionServices.h"
#include "model/Tile.h"
#include "platform/Displays.h"
#include "platform/Workspace.h"
#include "windows/AppWindow.h"

namespace quayline {

// What a click on an application tile does and what its context menu offers. Nothing is kept
// between calls: every decision reads the tile, the window registry and the running
// applications at that moment.
class AppTileActions {
 public:
  // `tile` must hold an application; `display` is the display of the dock showing it, when the
  // dock serves one display.
  AppTileActions(TileActionServices& services, Tile tile, std::optional<DisplayNumber> display);

  // The running processes the tile stands for.
  std::vector<RunningApp> targetApps() const;
  // The windows the tile stands for, in the registry's order.
  std::vector<AppWindow> windows() const;

  // A single click, and the menu's "Open".
  void activate() const;
  // Un-minimizes the window, raises it and brings its application forward.
  void raise(const AppWindow& window) const;

  // `running`: whether the application is among the running ones.
  Menu contextMenuItems(bool running) const;
  void openRecent(const AppRecentItem& item) const;

  // Whether the tile stands for the Finder (no options, no quitting).
  bool isSystemTile() const;

 private:
  const AppTile& app() const { return *tile_.app(); }
  // The click on the application already in front, when the user chose what it does; false
  // when the usual sequence should run.
  bool applyFrontmostBehavior(const std::vector<RunningApp>& targets,
                              const std::vector<AppWindow>& windows) const;
  std::vector<AppWindow> displayWindows(const std::vector<AppWindow>& windows) const;
  std::optional<Url> applicationURL() const;
  void showAllWindows(const std::vector<AppWindow>& windows) const;
  void toggleHidden() const;

  TileActionServices& services_;
  Tile tile_;
  std::optional<DisplayNumber> display_;
};

// The running application with this process id, when there is one.
std::optional<RunningApp> runningApp(Workspace& workspace, ProcessId pid);

// Un-minimizes the window, raises it and brings its application forward: what a click or a menu
// item does to one window of any tile.
void raiseWindow(TileActionServices& services, const AppWindow& window);

// Removes the item a pinned or trailing tile stands for from its stored list; nothing for tiles
// that stand for no stored item.
void removeFromDock(TileStore& store, const Tile& tile);

}  // namespace quayline
