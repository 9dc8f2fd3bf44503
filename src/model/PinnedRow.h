#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/PinnedItem.h"
#include "model/Tile.h"

namespace quayline {

class FileManager;

// Pure functions over pinned lists and the tiles made from them.
namespace PinnedRow {

// A ready-made tile that replaces the pinned application with this bundle identifier.
struct ChromeSlot {
  std::string bundleIdentifier;
  Tile tile;
  bool operator==(const ChromeSlot&) const = default;
};

using ProfileTileProvider = std::function<ChromeProfileTile(const std::string& directory)>;

std::vector<Tile> tiles(const std::vector<PinnedItem>& items, TileSection section,
                        const std::optional<ChromeSlot>& chromeSlot,
                        const std::optional<std::string>& hiddenAppBundleIdentifier,
                        const ProfileTileProvider& profileTile, FileManager& files);

// Whether a stored item is the one the tile stands for.
bool item(const PinnedItem& item, const Tile& tile,
          std::string_view chromeBundleIdentifier = kChromeBundleIdentifier);

// The tiles of a section that correspond one-to-one, in order, to its stored items.
std::vector<Tile> reorderable(const std::vector<Tile>& tiles, TileSection section);

// Keeps the first entry per key (bundle identifier, profile directory, folder path); spacers
// have no key and are always kept.
std::vector<PinnedItem> deduplicated(const std::vector<PinnedItem>& items);

// The list with the item inserted at the index (the end when absent or past it); nothing when
// the list already holds an entry with the item's key.
std::optional<std::vector<PinnedItem>> inserted(std::vector<PinnedItem> items,
                                                const PinnedItem& item,
                                                std::optional<std::size_t> index = {});

// Moves one entry; out-of-range or equal indices leave the list unchanged.
std::vector<PinnedItem> moved(std::vector<PinnedItem> items, long from, long to);

// The slot a dragged tile would drop into, from the laid-out widths and its drag offset.
long dropIndex(const std::vector<double>& widths, long source, double translation);

}  // namespace PinnedRow
}  // namespace quayline
