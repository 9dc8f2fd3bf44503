#pragma once

#include <optional>
#include <vector>

#include "dock/MenuModel.h"
#include "dock/TileActionServices.h"
#include "dock/TileMenu.h"
#include "model/Tile.h"
#include "platform/Workspace.h"
#include "windows/AppWindow.h"

namespace quayline {

// What a click on a browser-profile tile does and what its menu offers. Like the application
// tiles' actions it keeps nothing: the profile's windows and the browser's process are read at
// the moment of the click or of building the menu.
class ChromeProfileTileActions {
 public:
  // `tile` must hold a browser profile.
  ChromeProfileTileActions(TileActionServices& services, Tile tile);

  // Brings the profile's preferred window forward, or opens a new window in the profile.
  void click() const;
  Menu contextMenuItems() const;
  // The items of the menu's "Options": unpinning a kept profile; keeping a profile shown in the
  // pinned browser's place where it stands, or removing that browser; else keeping it at the end.
  std::vector<TileOptionsMenu::Item> pinOptions() const;

 private:
  const ChromeProfileTile& profile() const { return *tile_.chromeProfile(); }
  // The user's main browser, when it runs and the workspace knows it.
  std::optional<RunningApp> browser() const;
  // Closes the windows from the last to the first through their close buttons; the browser
  // itself keeps running.
  void quit(const std::vector<AppWindow>& windows) const;

  TileActionServices& services_;
  Tile tile_;
};

}  // namespace quayline
