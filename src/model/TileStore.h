#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Published.h"
#include "foundation/Subscription.h"
#include "model/PinnedItem.h"
#include "model/PinnedItemStore.h"
#include "model/Tile.h"
#include "platform/Workspace.h"

namespace quayline {

class ChromeInstances;
class ChromeProfiles;
class FileManager;
class HiddenApps;
class WindowRegistry;

// The one source of the dock's content: the pinned lists, the running applications and the
// browser's profiles and instances assembled into one ordered list of tiles, rebuilt whenever an
// input changes and published only when it differs.
class TileStore {
 public:
  // This program's own identifier; it never shows in its own running section.
  static constexpr std::string_view ownBundleIdentifier = "com.orrin.quayline";
  static constexpr std::string_view finderBundleIdentifier = "com.apple.finder";

  TileStore(std::unique_ptr<PinnedItemStore> pins, Workspace& workspace,
            ChromeInstances& chromeInstances, ChromeProfiles& chromeProfiles,
            HiddenApps& hiddenApps, WindowRegistry& windowRegistry, FileManager& files);
  TileStore(const TileStore&) = delete;
  TileStore& operator=(const TileStore&) = delete;

  // Finder, pinned items, [running divider, running applications], trailing divider, trailing
  // items, Trash.
  const std::vector<Tile>& tiles() const { return tiles_.get(); }
  Subscription observeTiles(std::function<void(const std::vector<Tile>&)> observer) {
    return tiles_.observe(std::move(observer));
  }
  // Identifiers of the running regular applications.
  const std::set<std::string>& runningBundleIDs() const { return runningBundleIDs_.get(); }
  Subscription observeRunningBundleIDs(std::function<void(const std::set<std::string>&)> observer) {
    return runningBundleIDs_.observe(std::move(observer));
  }
  // The frontmost application's identifier.
  const std::optional<std::string>& activeBundleID() const { return activeBundleID_.get(); }
  Subscription observeActiveBundleID(
      std::function<void(const std::optional<std::string>&)> observer) {
    return activeBundleID_.observe(std::move(observer));
  }
  // The profile shown in place of the pinned browser, if any.
  const std::optional<std::string>& chromeSlotProfileDirectory() const {
    return chromeSlotProfileDirectory_;
  }

  PinnedItemStore& pins() { return *pins_; }
  const PinnedItemStore& pins() const { return *pins_; }

  // Recomputes everything. Editors of the pinned lists call it after their change.
  void rebuild();

  // Takes in pinned lists another program stored (see PinnedItemStore::reload) and rebuilds
  // when they changed.
  void reloadPins();

  // Inserts the item at the index (the end when absent or past it) unless the section's list
  // already holds an entry with the same key; `trailing` selects the trailing list, anything
  // else the pinned list.
  void pin(const PinnedItem& item, TileSection section, std::optional<std::size_t> index = {});

  // Whether the pinned list (not the trailing one) holds the application or the profile.
  bool isPinned(std::string_view bundleIdentifier) const;
  bool isPinnedProfile(std::string_view profileDirectory) const;

  // The position in its section's stored list of the item the tile stands for; nothing for
  // tiles that stand for no stored item.
  std::optional<std::size_t> storedIndex(const Tile& tile) const;

  ChromeProfileTile profileTile(const std::string& directory) const;

 private:
  struct ChromeRow {
    std::optional<Tile> pinnedSlot;
    std::optional<std::string> slotProfileDirectory;
    std::vector<Tile> runningTiles;
    bool hidesPlainPin = false;
  };
  ChromeRow chromeRow(bool isRunning, bool isPinned,
                      const std::vector<std::string_view>& pinnedProfiles,
                      const std::vector<RunningApp>& running);
  Tile finderTile();
  // The running applications in launch order, one tile per identifier; `identifierPosition`
  // and `pinnedIdentifier` say, per application and per distinct identifier, where its
  // identifier is and whether it is pinned. The browser's own tiles are moved in where it runs.
  void appendRunningSection(std::vector<Tile>& list, const std::vector<RunningApp>& running,
                            const std::vector<std::size_t>& identifierPosition,
                            const std::vector<bool>& pinnedIdentifier,
                            std::vector<Tile>& chromeTiles);

  std::unique_ptr<PinnedItemStore> pins_;
  Workspace& workspace_;
  ChromeInstances& chromeInstances_;
  ChromeProfiles& chromeProfiles_;
  HiddenApps& hiddenApps_;
  FileManager& files_;

  Published<std::vector<Tile>> tiles_;
  Published<std::set<std::string>> runningBundleIDs_;
  Published<std::optional<std::string>> activeBundleID_;
  std::optional<std::string> chromeSlotProfileDirectory_;
  // Live profile directories in the order they first appeared.
  std::vector<std::string> chromeProfileAppearanceOrder_;
  // The pinned application the last rebuild left without a tile, so that stored positions can
  // still be found for the tiles after it.
  std::optional<std::string> hiddenPinnedApp_;

  std::vector<Subscription> subscriptions_;
};

}  // namespace quayline
