#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "model/Tile.h"

namespace quayline {

// The dock's tiles as a scripting aid prints them: one line per tile (identifier, section,
// label, state) or one JSON array.
namespace TileListing {

struct Entry {
  std::string id;
  TileSection section = TileSection::pinned;
  std::string label;
  bool running = false;
  bool active = false;
  bool operator==(const Entry&) const = default;
};

// A tile's name in a listing: its display name, or what it is ("small spacer", "Trash").
std::string label(const Tile& tile);

std::vector<Entry> entries(const std::vector<Tile>& tiles,
                           const std::set<std::string>& runningBundleIDs,
                           const std::optional<std::string>& activeBundleID,
                           const std::vector<std::string>& liveProfileDirectories);

// "id<TAB>section<TAB>label<TAB>state" lines; state is "active", "running" or "-". Tabs and line
// breaks inside labels become spaces so that every tile stays one line.
std::string text(const std::vector<Entry>& entries);
std::string json(const std::vector<Entry>& entries);

}  // namespace TileListing
}  // namespace quayline
