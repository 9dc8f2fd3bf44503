#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "dock/DockLayout.h"
#include "dock/DragOperation.h"
#include "dock/DroppedFiles.h"
#include "dock/Magnification.h"
#include "foundation/Geometry.h"
#include "model/Tile.h"

namespace quayline {

class FileOperations;
class Scheduler;
class SerialQueue;
class SystemLog;
class TileStore;
class TrashDropFeedback;
class Workspace;

// What a dock window shows right now, as a drop sees it.
struct DropGeometry {
  std::vector<Tile> tiles;  // in row order
  DockLayout layout;
  Rect restingFrame;
  // The row as drawn while magnified; a pointer over it is mapped back to the resting row.
  std::optional<MagnifiedRow> magnifiedRow;
};

// Decides what files dragged over one dock window would do where the pointer is, and carries
// the drop out: open them with an application, move them into a folder or the Trash, or pin
// dropped applications and folders. Positions are x along the row, with the first tile's left
// edge at 2.
class DockDropHandler {
 public:
  struct Target {
    enum class Kind { tile, gap, none };
    Kind kind = Kind::none;
    Tile tile;  // for `tile`
    TileSection section = TileSection::pinned;
    std::size_t index = 0;  // for `gap`: the position in the section's reorderable tiles

    static Target onto(Tile tile) { return {Kind::tile, std::move(tile)}; }
    static Target gap(TileSection section, std::size_t index) {
      return {Kind::gap, {}, section, index};
    }
    static Target nowhere() { return {}; }
    bool operator==(const Target&) const = default;
  };

  struct Services {
    TileStore& store;
    Workspace& workspace;
    FileOperations& files;
    // Where moves run, one batch after another, off the main thread.
    SerialQueue& fileQueue;
    Scheduler& scheduler;
    TrashDropFeedback& trash;
    SystemLog& log;
  };

  // Called when a drop's work is over, on the main thread: whether all of it succeeded.
  using Finished = std::function<void(bool)>;

  DockDropHandler(Services services, std::function<DropGeometry()> geometry);
  DockDropHandler(const DockDropHandler&) = delete;
  DockDropHandler& operator=(const DockDropHandler&) = delete;

  static Target target(const DropGeometry& geometry, double x);
  Target target(double x) const { return target(geometry_(), x); }

  // The operation a drop at x would do, for a drag entering or moving over the dock.
  DragOperation operation(const DroppedFiles& files, double x) const;

  // Carries the drop out. False when there is nothing to do (no files, no target, no
  // application to open them with, a position that maps to no stored place). Moves into a
  // folder or the Trash run on the file queue, so they report through `finished` later, and
  // stop at the first item that fails; every other drop reports before this returns.
  bool perform(const DroppedFiles& files, double x, Finished finished = {});

 private:
  static bool opensDocuments(const Tile& tile);
  // The stored index for a position among a section's reorderable tiles: a stored item the
  // store shows no tile for is stepped over the way the store does, so a pin lands where it was
  // dropped; a position that stands for no stored item maps to nothing.
  std::optional<std::size_t> storedIndex(const std::vector<Tile>& tiles, TileSection section,
                                         std::size_t position) const;
  bool pinApplications(const DroppedFiles& files, const std::vector<Tile>& tiles,
                       TileSection section, std::size_t position);
  bool pinFolders(const DroppedFiles& files, const std::vector<Tile>& tiles, std::size_t position);
  void moveAll(const DroppedFiles& files, std::optional<std::string> folder, Finished finished);

  Services services_;
  std::function<DropGeometry()> geometry_;
  // Held weakly by the moves in flight: a batch that ends after its dock window still finishes
  // its files, but reports to nobody.
  std::shared_ptr<int> lifetime_ = std::make_shared<int>(0);
};

std::ostream& operator<<(std::ostream& out, const DockDropHandler::Target& target);

}  // namespace quayline
