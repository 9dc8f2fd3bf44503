#include "dock/DockDragCommit.h"

#include "dock/AppTileActions.h"
#include "model/PinnedRow.h"
#include "model/TileStore.h"

namespace quayline::DockDragCommit {

namespace {

TileSection storedSection(TileSection section) {
  return section == TileSection::trailing ? TileSection::trailing : TileSection::pinned;
}

std::optional<std::size_t> storedIndexOf(const TileStore& store, const std::string& id) {
  for (const Tile& tile : store.tiles()) {
    if (tile.id == id) {
      return store.storedIndex(tile);
    }
  }
  return std::nullopt;
}

}  // namespace

bool move(TileStore& store, TileSection section, long from, long to) {
  const std::vector<Tile> row = PinnedRow::reorderable(store.tiles(), section);
  if (from < 0 || to < 0 || static_cast<std::size_t>(from) >= row.size() ||
      static_cast<std::size_t>(to) >= row.size()) {
    return false;
  }
  const auto storedFrom = store.storedIndex(row[static_cast<std::size_t>(from)]);
  const auto storedTo = store.storedIndex(row[static_cast<std::size_t>(to)]);
  if (!storedFrom || !storedTo) {
    return false;
  }
  const TileSection stored = storedSection(section);
  store.pins().replace(PinnedRow::moved(store.pins().list(stored), static_cast<long>(*storedFrom),
                                        static_cast<long>(*storedTo)),
                       stored);
  store.rebuild();
  return true;
}

void apply(TileStore& store, const DockDragController::Outcome& outcome, const Tile& dragged) {
  using Kind = DockDragController::Outcome::Kind;
  if (outcome.kind == Kind::remove) {
    removeFromDock(store, dragged);
    return;
  }
  if (outcome.kind != Kind::pin) {
    return;
  }
  std::optional<PinnedItem> item;
  if (const ChromeProfileTile* profile = dragged.chromeProfile()) {
    item = PinnedChromeProfile{profile->profileDirectory};
  } else if (const AppTile* app = dragged.app()) {
    item =
        PinnedApp{app->bundleIdentifier, app->url ? std::optional(app->url->path()) : std::nullopt};
  }
  if (!item) {
    return;
  }
  // Before the tile now at the place, or after the last one standing for a stored item.
  std::optional<std::size_t> index;
  if (outcome.beforeId) {
    index = storedIndexOf(store, *outcome.beforeId);
    if (!index) {
      return;  // the place maps to nothing stored: refused rather than guessed
    }
  }
  store.pin(*item, TileSection::pinned, index);
}

}  // namespace quayline::DockDragCommit
