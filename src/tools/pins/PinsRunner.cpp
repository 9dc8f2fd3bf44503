#include "tools/pins/PinsRunner.h"

#include <algorithm>
#include <filesystem>
#include <utility>
#include <vector>

#include "app/TileListing.h"
#include "model/PinnedItemStore.h"
#include "model/PinnedRow.h"
#include "model/Tile.h"
#include "platform/FileManager.h"
#include "platform/FileOperations.h"
#include "platform/SystemLog.h"
#include "platform/linux/FilePreferenceDomains.h"
#include "tools/pins/StagedPreferences.h"

namespace quayline::pins {
namespace {

namespace fs = std::filesystem;

// Keeps what the store would log (a stored list it could not read) to tell the user.
class Notes final : public SystemLog {
 public:
  void log(std::string_view, std::string_view message) override { lines.emplace_back(message); }
  void console(std::string_view message) override { lines.emplace_back(message); }
  std::vector<std::string> lines;
};

// A pinned item's place: its list and its index there.
struct Location {
  TileSection section = TileSection::pinned;
  std::size_t index = 0;
  bool operator==(const Location&) const = default;
};

std::string listName(TileSection section) {
  return section == TileSection::trailing ? "trailing list" : "pinned list";
}

std::string inQuotes(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

class Runner {
 public:
  Runner(Services services, StagedPreferences& staged, PinnedItemStore& store, Notes& notes)
      : services_(std::move(services)), staged_(staged), store_(store), notes_(notes) {}

  int operator()(const ShowUsage&) {
    services_.out << usageText();
    return 0;
  }

  int operator()(const List&) {
    for (const TileSection section : {TileSection::pinned, TileSection::trailing}) {
      const std::vector<Tile> tiles = tilesOf(section);
      for (std::size_t i = 0; i < tiles.size(); ++i) {
        services_.out << i << '\t' << tiles[i].id << '\t' << TileListing::label(tiles[i]) << '\n';
      }
    }
    if (!notes_.lines.empty()) {
      services_.err << "quayline-pins: note: a stored list is unreadable; shown as the dock "
                       "will start it again\n";
    }
    return 0;
  }

  int operator()(const Add& command) {
    auto target = resolveTarget(command.target);
    if (!target) {
      return 1;
    }
    const auto& [item, section] = *target;
    const auto slot = slotFor(command.place, section, inQuotes(command.target));
    if (!slot) {
      return 1;
    }
    return insert(item, *slot, inQuotes(command.target));
  }

  int operator()(const AddSpacer& command) {
    const auto slot = slotFor(command.place, std::nullopt, "a spacer");
    if (!slot) {
      return 1;
    }
    return insert(PinnedSpacer{command.small}, *slot, "the spacer");
  }

  int operator()(const Remove& command) {
    const auto location = resolveId(command.id);
    if (!location) {
      return 1;
    }
    auto list = store_.list(location->section);
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(location->index));
    store_.replace(std::move(list), location->section);
    return commit();
  }

  int operator()(const Move& command) {
    const auto from = resolveId(command.id);
    if (!from) {
      return 1;
    }
    const std::vector<PinnedItem>& list = store_.list(from->section);
    std::size_t to = 0;
    if (command.place.kind == Place::Kind::index) {
      if (command.place.index >= list.size()) {
        return fail("--index " + std::to_string(command.place.index) + " is past the end of the " +
                    listName(from->section) + ", whose last position is " +
                    std::to_string(list.size() - 1));
      }
      to = command.place.index;
    } else {
      const auto next = resolveId(command.place.id);
      if (!next) {
        return 1;
      }
      if (next->section != from->section) {
        return fail("items move only within their own list: " + inQuotes(command.id) +
                    " is in the " + listName(from->section) + ", " + inQuotes(command.place.id) +
                    " in the " + listName(next->section));
      }
      if (next->index == from->index) {
        return fail("cannot place " + inQuotes(command.id) + " next to itself");
      }
      // The position among the others, once the moved item is out of the list.
      const std::size_t other = next->index > from->index ? next->index - 1 : next->index;
      to = other + (command.place.kind == Place::Kind::after ? 1 : 0);
    }
    store_.replace(PinnedRow::moved(list, static_cast<long>(from->index), static_cast<long>(to)),
                   from->section);
    return commit();
  }

 private:
  int fail(const std::string& message) {
    services_.err << "quayline-pins: " << message << '\n';
    return 1;
  }

  int commit() {
    if (!staged_.commit()) {
      return fail("could not write the pinned items to " +
                  services_.domains.fileFor(PreferenceDomains::application)->string());
    }
    for (const std::string& line : notes_.lines) {
      services_.err << "quayline-pins: note: " << line << '\n';
    }
    return 0;
  }

  // The section's tiles as the dock makes them, one per stored item, for their ids and labels.
  std::vector<Tile> tilesOf(TileSection section) {
    return PinnedRow::tiles(
        store_.list(section), section, std::nullopt, std::nullopt,
        [](const std::string& directory) { return ChromeProfileTile::placeholder(directory); },
        services_.fileManager);
  }

  std::string absolute(std::string_view argument) const {
    fs::path path(argument);
    if (path.is_relative()) {
      path = fs::path(services_.workingDirectory) / path;
    }
    std::string text = path.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/') {
      text.pop_back();
    }
    return text;
  }

  static bool looksLikePath(std::string_view argument) {
    return argument.find('/') != std::string_view::npos || argument == "." || argument == "..";
  }

  // What adding the argument pins, and into which list: exactly what dropping it would.
  std::optional<std::pair<PinnedItem, TileSection>> resolveTarget(const std::string& argument) {
    if (!looksLikePath(argument)) {
      if (auto application = services_.application(argument)) {
        return std::pair{PinnedItem{PinnedApp{application->bundleIdentifier, application->path}},
                         TileSection::pinned};
      }
      // A desktop entry in the working directory, named without a path.
      std::error_code error;
      if (!argument.ends_with(".desktop") || !fs::exists(absolute(argument), error)) {
        fail("no installed application has the id " + inQuotes(argument) +
             " (an id is a desktop entry's file name without .desktop, such as debian-xterm)");
        return std::nullopt;
      }
    }
    const std::string path = absolute(argument);
    const FileFacts facts = services_.files.facts(path);
    if (!facts.isDirectory) {
      fail(path + " does not exist or cannot be read");
      return std::nullopt;
    }
    if (facts.isApplication && facts.bundleIdentifier) {
      return std::pair{PinnedItem{PinnedApp{*facts.bundleIdentifier, path}}, TileSection::pinned};
    }
    if (*facts.isDirectory) {
      return std::pair{PinnedItem{PinnedFolder{path}}, TileSection::trailing};
    }
    if (path.ends_with(".desktop")) {
      fail(path +
           " is not an installed application: the dock pins desktop entries that lie in the "
           "applications folders ($XDG_DATA_HOME/applications and those of $XDG_DATA_DIRS)");
    } else {
      fail(path + " is a file; the dock pins applications and folders, not single files");
    }
    return std::nullopt;
  }

  // The pinned item an id names: a tile id as `list` prints it, an application's id, a .desktop
  // file, or a pinned folder's path.
  std::optional<Location> resolveId(const std::string& id) {
    std::vector<Location> found;
    const auto add = [&found](Location location) {
      if (std::find(found.begin(), found.end(), location) == found.end()) {
        found.push_back(location);
      }
    };
    for (const TileSection section : {TileSection::pinned, TileSection::trailing}) {
      const std::vector<Tile> tiles = tilesOf(section);
      for (std::size_t i = 0; i < tiles.size(); ++i) {
        if (tiles[i].id == id) {
          return Location{section, i};
        }
      }
    }
    std::vector<std::string> bundleIdentifiers{id};
    if (id.ends_with(".desktop")) {
      if (auto application = services_.application(id)) {
        bundleIdentifiers.push_back(application->bundleIdentifier);
      } else if (auto identifier = services_.files.facts(absolute(id)).bundleIdentifier) {
        bundleIdentifiers.push_back(*identifier);
      }
    }
    const std::optional<std::string> path =
        looksLikePath(id) || id.ends_with(".desktop") ? std::optional(absolute(id)) : std::nullopt;
    for (const TileSection section : {TileSection::pinned, TileSection::trailing}) {
      const std::vector<PinnedItem>& list = store_.list(section);
      for (std::size_t i = 0; i < list.size(); ++i) {
        if (const auto* app = std::get_if<PinnedApp>(&list[i])) {
          const bool named = std::find(bundleIdentifiers.begin(), bundleIdentifiers.end(),
                                       app->bundleIdentifier) != bundleIdentifiers.end();
          if (named || (path && app->path == path)) {
            add({section, i});
          }
        } else if (const auto* folder = std::get_if<PinnedFolder>(&list[i])) {
          if (path && folder->path == *path) {
            add({section, i});
          }
        }
      }
    }
    if (found.empty()) {
      fail("nothing pinned is " + inQuotes(id) + "; `quayline-pins list` shows the ids");
      return std::nullopt;
    }
    if (found.size() > 1) {
      fail(inQuotes(id) + " names more than one pinned item (" + idAt(found[0]) + ", " +
           idAt(found[1]) + "); give the full id");
      return std::nullopt;
    }
    return found.front();
  }

  std::string idAt(Location location) { return tilesOf(location.section).at(location.index).id; }

  // Where an item goes: the list is `required` when given, else the pinned list or that of the
  // item it is placed next to.
  std::optional<Location> slotFor(const Place& place, std::optional<TileSection> required,
                                  const std::string& what) {
    if (place.kind == Place::Kind::end || place.kind == Place::Kind::index) {
      const TileSection section = required.value_or(TileSection::pinned);
      const std::size_t count = store_.list(section).size();
      if (place.kind == Place::Kind::end) {
        return Location{section, count};
      }
      if (place.index > count) {
        fail("--index " + std::to_string(place.index) + " is past the end of the " +
             listName(section) + ", which holds " + std::to_string(count) + " items");
        return std::nullopt;
      }
      return Location{section, place.index};
    }
    const auto next = resolveId(place.id);
    if (!next) {
      return std::nullopt;
    }
    if (required && next->section != *required) {
      fail(what + " goes into the " + listName(*required) + ", but " + inQuotes(place.id) +
           " is in the " + listName(next->section));
      return std::nullopt;
    }
    return Location{next->section, next->index + (place.kind == Place::Kind::after ? 1 : 0)};
  }

  int insert(const PinnedItem& item, Location slot, const std::string& what) {
    const std::vector<PinnedItem>& list = store_.list(slot.section);
    auto inserted = PinnedRow::inserted(list, item, slot.index);
    if (!inserted) {
      // The entry the list already holds is the one that de-duplicates with the item.
      for (std::size_t i = 0; i < list.size(); ++i) {
        if (PinnedRow::deduplicated({list[i], item}).size() == 1) {
          return fail(what + " is already pinned as " + idAt({slot.section, i}) +
                      "; use move to change its place");
        }
      }
      return fail(what + " is already pinned");
    }
    store_.replace(std::move(*inserted), slot.section);
    return commit();
  }

  Services services_;
  StagedPreferences& staged_;
  PinnedItemStore& store_;
  Notes& notes_;
};

}  // namespace

int run(const Command& command, Services services) {
  FilePreferenceDomains& domains = services.domains;
  if (domains.fileState(PreferenceDomains::application) ==
      FilePreferenceDomains::FileState::unreadable) {
    services.err << "quayline-pins: " << domains.fileFor(PreferenceDomains::application)->string()
                 << " is not a readable property list, so the pinned items cannot be read; "
                    "nothing was changed (repair or remove that file first)\n";
    return 1;
  }
  // The store reads, seeds and writes as the dock does, but into the staged copy: a command that
  // fails leaves the files as they were.
  StagedPreferences staged(domains);
  Notes notes;
  PinnedItemStore store(staged, services.fileManager, services.paths, notes);
  return std::visit(Runner(std::move(services), staged, store, notes), command);
}

}  // namespace quayline::pins
