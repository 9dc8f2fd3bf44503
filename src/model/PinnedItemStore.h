#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "foundation/PropertyValue.h"
#include "model/PinnedItem.h"
#include "model/Tile.h"

namespace quayline {

class FileManager;
class Paths;
class PreferenceDomains;
class SystemLog;

// The two user-ordered lists of the dock: pinned (before the running section) and trailing
// (after the trailing divider). Loaded at start, seeded from the system dock on first run,
// written back whenever a list changes. Nobody is notified: editors ask the tile store to
// rebuild, and a list another program stored is taken in by `reload`.
class PinnedItemStore {
 public:
  static constexpr std::string_view pinnedKey = "quayline.pinnedItems";
  static constexpr std::string_view trailingKey = "quayline.trailingItems";

  PinnedItemStore(PreferenceDomains& defaults, FileManager& files, Paths& paths, SystemLog& log);

  const std::vector<PinnedItem>& pinned() const { return pinned_; }
  const std::vector<PinnedItem>& trailing() const { return trailing_; }
  const std::vector<PinnedItem>& list(TileSection section) const;

  // De-duplicates, then replaces and writes the section's list when it differs.
  void replace(std::vector<PinnedItem> items, TileSection section);

  std::optional<PinnedItem> defaultDownloadsItem();

  // Takes in the lists as stored now (written by another program), without writing anything:
  // a list that is absent or unreadable there stays as it is here. Whether a list changed.
  bool reload();

 private:
  // The stored list; nothing when it is absent, or unreadable and then `unreadable` is set.
  std::optional<std::vector<PinnedItem>> decodeStored(std::string_view key,
                                                      std::optional<PropertyValue>* unreadable);
  std::optional<std::vector<PinnedItem>> loadStored(std::string_view key);
  std::vector<PinnedItem> seedPinned();
  std::vector<PinnedItem> seedTrailing();
  void write(std::string_view key, const std::vector<PinnedItem>& items);

  PreferenceDomains& defaults_;
  FileManager& files_;
  Paths& paths_;
  SystemLog& log_;
  std::vector<PinnedItem> pinned_;
  std::vector<PinnedItem> trailing_;
};

}  // namespace quayline
