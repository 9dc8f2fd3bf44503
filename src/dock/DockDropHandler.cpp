#include "dock/DockDropHandler.h"

#include <algorithm>
#include <string>
#include <utility>

#include "dock/TrashDropFeedback.h"
#include "foundation/Scheduler.h"
#include "foundation/SerialQueue.h"
#include "model/PinnedRow.h"
#include "model/TileStore.h"
#include "platform/FileOperations.h"
#include "platform/SystemLog.h"
#include "platform/Workspace.h"

namespace quayline {

namespace {

constexpr double kFirstTileX = DockLayout::rowInset;

// The tile's position among its section's reorderable tiles; their count when it is not one.
std::size_t reorderablePosition(const std::vector<Tile>& tiles, const Tile& tile) {
  const std::vector<Tile> reorderable = PinnedRow::reorderable(tiles, tile.section);
  const auto found = std::find_if(reorderable.begin(), reorderable.end(),
                                  [&](const Tile& candidate) { return candidate.id == tile.id; });
  return static_cast<std::size_t>(found - reorderable.begin());
}

std::size_t reorderableCount(const std::vector<Tile>& tiles, TileSection section) {
  return PinnedRow::reorderable(tiles, section).size();
}

std::string lastComponent(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

DockDropHandler::DockDropHandler(Services services, std::function<DropGeometry()> geometry)
    : services_(services), geometry_(std::move(geometry)) {}

DockDropHandler::Target DockDropHandler::target(const DropGeometry& geometry, double x) {
  if (!(geometry.restingFrame.width() > 0)) {
    return Target::nowhere();
  }
  const std::vector<Tile>& tiles = geometry.tiles;
  if (tiles.empty()) {
    return Target::gap(TileSection::pinned, 0);
  }
  // The tiles are hit where they are drawn: a magnified row spreads them away from their
  // resting slots.
  if (geometry.magnifiedRow && geometry.magnifiedRow->slots.size() == tiles.size()) {
    x = geometry.magnifiedRow->restingX(x - kFirstTileX) + kFirstTileX;
  }

  double left = kFirstTileX;
  for (const Tile& tile : tiles) {
    const double width = geometry.layout.slotWidth(tile.content);
    if (left <= x && x < left + width) {
      if (tile.isDivider()) {
        if (tile.section == TileSection::trailing) {
          return Target::gap(TileSection::trailing, 0);
        }
        return Target::gap(tile.section, reorderableCount(tiles, TileSection::pinned));
      }
      const bool hasGaps = tile.section != TileSection::running && !tile.isTrash() &&
                           !tile.id.starts_with("system:");
      const double into = x - left;
      if (hasGaps && (into < 0.2 * width || into > 0.8 * width)) {
        const std::size_t after = x >= left + width / 2 ? 1 : 0;
        return Target::gap(tile.section, reorderablePosition(tiles, tile) + after);
      }
      return Target::onto(tile);
    }
    left += width;
  }
  const TileSection last =
      tiles.back().section == TileSection::running ? TileSection::pinned : tiles.back().section;
  return Target::gap(last, reorderableCount(tiles, last));
}

bool DockDropHandler::opensDocuments(const Tile& tile) {
  return tile.app() != nullptr || tile.chromeProfile() != nullptr;
}

DragOperation DockDropHandler::operation(const DroppedFiles& files, double x) const {
  if (files.empty()) {
    return DragOperation::none;
  }
  const Target at = target(x);
  switch (at.kind) {
    case Target::Kind::tile: {
      const Tile& tile = at.tile;
      if (opensDocuments(tile)) {
        if (!files.allApplications()) {
          return DragOperation::generic;
        }
        return tile.section == TileSection::running ? DragOperation::none : DragOperation::link;
      }
      if (tile.folder() || tile.isTrash()) {
        return DragOperation::move;
      }
      if (tile.spacer() || tile.isDivider()) {
        return tile.section == TileSection::pinned && files.allApplications() ? DragOperation::link
                                                                              : DragOperation::none;
      }
      return DragOperation::none;
    }
    case Target::Kind::gap:
      if (at.section == TileSection::pinned) {
        return files.allApplications() ? DragOperation::link : DragOperation::none;
      }
      if (at.section == TileSection::trailing) {
        return files.allDirectories() ? DragOperation::link : DragOperation::none;
      }
      return DragOperation::none;
    case Target::Kind::none:
      break;
  }
  return DragOperation::none;
}

bool DockDropHandler::perform(const DroppedFiles& files, double x, Finished finished) {
  const auto report = [&finished](bool result) {
    if (finished) {
      finished(result);
    }
    return result;
  };
  if (files.empty()) {
    return report(false);
  }
  const DropGeometry geometry = geometry_();
  const Target at = target(geometry, x);
  switch (at.kind) {
    case Target::Kind::tile: {
      const Tile& tile = at.tile;
      if (tile.isTrash()) {
        moveAll(files, std::nullopt, std::move(finished));
        return true;
      }
      if (const FolderTile* folder = tile.folder()) {
        moveAll(files, folder->url.path(), std::move(finished));
        return true;
      }
      if (opensDocuments(tile)) {
        if (!files.allApplications()) {
          const AppTile* app = tile.app();
          std::optional<Url> application =
              app && app->url
                  ? app->url
                  : services_.workspace.urlForApplication(
                        app ? app->bundleIdentifier : tile.chromeProfile()->bundleIdentifier);
          if (!application) {
            services_.log.log("drop",
                              "no application to open the dropped files with for " + tile.id);
            return report(false);
          }
          // The launch's own answer: a launch that fails is a drop that failed.
          return report(services_.workspace.openDocuments(files.urls(), *application));
        }
        return report(pinApplications(files, geometry.tiles, tile.section,
                                      reorderablePosition(geometry.tiles, tile)));
      }
      if ((tile.spacer() || tile.isDivider()) && tile.section == TileSection::pinned) {
        return report(pinApplications(files, geometry.tiles, TileSection::pinned,
                                      reorderablePosition(geometry.tiles, tile)));
      }
      return report(false);
    }
    case Target::Kind::gap:
      if (at.section == TileSection::pinned) {
        return report(pinApplications(files, geometry.tiles, TileSection::pinned, at.index));
      }
      if (at.section == TileSection::trailing) {
        return report(pinFolders(files, geometry.tiles, at.index));
      }
      return report(false);
    case Target::Kind::none:
      break;
  }
  return report(false);
}

std::optional<std::size_t> DockDropHandler::storedIndex(const std::vector<Tile>& tiles,
                                                        TileSection section,
                                                        std::size_t position) const {
  const std::vector<Tile> reorderable = PinnedRow::reorderable(tiles, section);
  if (position < reorderable.size()) {
    return services_.store.storedIndex(reorderable[position]);
  }
  if (position == reorderable.size()) {
    return services_.store.pins().list(section).size();
  }
  return std::nullopt;
}

bool DockDropHandler::pinApplications(const DroppedFiles& files, const std::vector<Tile>& tiles,
                                      TileSection section, std::size_t position) {
  if (section == TileSection::running) {
    return false;
  }
  const std::optional<std::size_t> base = storedIndex(tiles, section, position);
  if (!base) {
    services_.log.log("drop", "refused a pin at a position that stands for no stored item");
    return false;
  }
  for (std::size_t k = 0; k < files.size(); ++k) {
    const FileFacts& facts = files.facts(k);
    if (facts.isApplication && facts.bundleIdentifier) {
      services_.store.pin(PinnedApp{*facts.bundleIdentifier, files.urls()[k].path()},
                          TileSection::pinned, *base + k);
    }
  }
  return true;
}

bool DockDropHandler::pinFolders(const DroppedFiles& files, const std::vector<Tile>& tiles,
                                 std::size_t position) {
  const std::optional<std::size_t> base = storedIndex(tiles, TileSection::trailing, position);
  if (!base) {
    services_.log.log("drop", "refused a pin at a position that stands for no stored item");
    return false;
  }
  for (std::size_t k = 0; k < files.size(); ++k) {
    if (files.facts(k).isDirectory.value_or(false)) {
      services_.store.pin(PinnedFolder{files.urls()[k].path()}, TileSection::trailing, *base + k);
    }
  }
  return true;
}

void DockDropHandler::moveAll(const DroppedFiles& files, std::optional<std::string> folder,
                              Finished finished) {
  std::vector<std::string> paths;
  paths.reserve(files.size());
  for (const Url& url : files.urls()) {
    paths.push_back(url.path());
  }
  // The batch owns copies of everything it needs: the services outlive the queue, this
  // handler may not.
  services_.fileQueue.async([services = services_, paths = std::move(paths),
                             folder = std::move(folder), weak = std::weak_ptr<int>(lifetime_),
                             finished = std::move(finished)]() mutable {
    std::optional<std::string> failure;
    for (const std::string& path : paths) {
      const FileOperationResult result =
          folder ? services.files.moveWithoutReplacing(path, *folder + "/" + lastComponent(path))
                 : services.files.moveToTrash(path);
      if (!result.succeeded) {
        failure = (folder ? "moving into " + *folder : std::string("trashing")) + " stopped at " +
                  path + ": " + result.error;
        break;
      }
    }
    services.scheduler.post([services, toTrash = !folder, failure = std::move(failure), weak,
                             finished = std::move(finished)] {
      if (failure) {
        services.log.log("drop", *failure);
      }
      if (toTrash) {
        if (!failure) {
          services.trash.playDropSound();
        }
        services.trash.refresh();
      }
      if (finished && weak.lock()) {
        finished(!failure);
      }
    });
  });
}

std::ostream& operator<<(std::ostream& out, const DockDropHandler::Target& target) {
  switch (target.kind) {
    case DockDropHandler::Target::Kind::tile:
      return out << "tile(" << target.tile.id << ")";
    case DockDropHandler::Target::Kind::gap:
      return out << "gap(" << target.section << ", " << target.index << ")";
    case DockDropHandler::Target::Kind::none:
      break;
  }
  return out << "none";
}

}  // namespace quayline
