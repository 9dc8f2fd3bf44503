#pragma once

namespace quayline {

class Accessibility;
class AppRecentItemsSource;
class ChromeInstances;
class ChromeProfiles;
class Confirmations;
class Displays;
class FolderStackController;
class HiddenApps;
class Preferences;
class TileStore;
class TrashState;
class WindowRegistry;
class Workspace;

// What clicks on tiles and their menus act on; the composition root owns all of it.
struct TileActionServices {
  Workspace& workspace;
  Accessibility& accessibility;
  WindowRegistry& registry;
  ChromeInstances& chromeInstances;
  ChromeProfiles& chromeProfiles;
  TileStore& store;
  HiddenApps& hiddenApps;
  Preferences& preferences;
  AppRecentItemsSource& recentItems;
  Displays& displays;
  TrashState& trash;
  Confirmations& confirmations;
  // Folder tiles open their stacks here; without it they open the folder itself.
  FolderStackController* folderStacks = nullptr;
};

}  // namespace quayline
