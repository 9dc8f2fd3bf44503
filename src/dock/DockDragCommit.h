#pragma once

#include "dock/DockDragController.h"

namespace quayline {

class TileStore;

// What an ended drag changes in the stored lists. Positions on the row are translated through
// the tile store: while the plain browser pin is hidden, the row's positions are not the stored
// list's.
namespace DockDragCommit {

// Moves a section's item, the indices those of the section's reorderable tiles. False, and
// nothing written, when either position stands for no stored item.
bool move(TileStore& store, TileSection section, long from, long to);
// Removes the dragged tile's item, or pins the dragged application or profile where it was
// dropped.
void apply(TileStore& store, const DockDragController::Outcome& outcome, const Tile& dragged);

}  // namespace DockDragCommit
}  // namespace quayline
