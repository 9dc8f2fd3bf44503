#include "model/TileStore.h"

#include <algorithm>
#include <limits>
#include <numeric>

#include "chrome/ChromeInstance.h"
#include "chrome/ChromeProfiles.h"
#include "model/HiddenApps.h"
#include "model/PinnedRow.h"
#include "windows/WindowRegistry.h"

namespace quayline {

namespace {

using Kind = WorkspaceNotification::Kind;

bool contains(const std::vector<std::string>& list, const std::string& value) {
  return std::find(list.begin(), list.end(), value) != list.end();
}

Tile appTile(std::string id, std::string bundleIdentifier, std::string displayName,
             std::optional<Url> url, TileSection section,
             std::optional<ProcessIdentifier> pid = std::nullopt) {
  return {std::move(id),
          AppTile{std::move(bundleIdentifier), std::move(displayName), std::move(url), pid},
          section};
}

// Sorted lists of views into the rebuild's inputs stand in for sets: a rebuild runs on every
// window change and should not allocate a node per running application.
void sortUnique(std::vector<std::string_view>& values) {
  std::sort(values.begin(), values.end());
  values.erase(std::unique(values.begin(), values.end()), values.end());
}

bool containsSorted(const std::vector<std::string_view>& sorted, std::string_view value) {
  return std::binary_search(sorted.begin(), sorted.end(), value);
}

// The running applications' identifiers, sorted and without duplicates, and for each
// application where its identifier is among them, so the walk over the applications needs no
// lookups.
struct RunningIdentifiers {
  std::vector<std::string_view> sorted;
  std::vector<std::size_t> positionOf;  // per application; npos without an identifier
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);
};

RunningIdentifiers groupIdentifiers(const std::vector<RunningApp>& running) {
  std::vector<std::size_t> order;
  order.reserve(running.size());
  for (std::size_t index = 0; index < running.size(); ++index) {
    if (running[index].bundleIdentifier) {
      order.push_back(index);
    }
  }
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return *running[a].bundleIdentifier < *running[b].bundleIdentifier;
  });
  RunningIdentifiers result;
  result.sorted.reserve(order.size());
  result.positionOf.assign(running.size(), RunningIdentifiers::npos);
  for (const std::size_t index : order) {
    const std::string_view identifier = *running[index].bundleIdentifier;
    if (result.sorted.empty() || result.sorted.back() != identifier) {
      result.sorted.push_back(identifier);
    }
    result.positionOf[index] = result.sorted.size() - 1;
  }
  return result;
}

// Which entries of one sorted list the other sorted list holds too.
std::vector<bool> membership(const std::vector<std::string_view>& sorted,
                             const std::vector<std::string_view>& others) {
  std::vector<bool> result(sorted.size());
  auto other = others.begin();
  for (std::size_t index = 0; index < sorted.size() && other != others.end();) {
    if (*other < sorted[index]) {
      ++other;
    } else {
      result[index] = *other == sorted[index];
      ++index;
    }
  }
  return result;
}

}  // namespace

TileStore::TileStore(std::unique_ptr<PinnedItemStore> pins, Workspace& workspace,
                     ChromeInstances& chromeInstances, ChromeProfiles& chromeProfiles,
                     HiddenApps& hiddenApps, WindowRegistry& windowRegistry, FileManager& files)
    : pins_(std::move(pins)),
      workspace_(workspace),
      chromeInstances_(chromeInstances),
      chromeProfiles_(chromeProfiles),
      hiddenApps_(hiddenApps),
      files_(files) {
  // Every source delivers on the main thread already, so each change rebuilds at once.
  subscriptions_.push_back(workspace_.observe([this](const WorkspaceNotification& notification) {
    if (notification.changesApplications()) {
      rebuild();
    }
  }));
  subscriptions_.push_back(
      windowRegistry.observeWindows([this](const std::vector<AppWindow>&) { rebuild(); }));
  subscriptions_.push_back(chromeProfiles_.observeProfiles([this] { rebuild(); }));
  subscriptions_.push_back(
      hiddenApps_.observe([this](const std::vector<std::string>&) { rebuild(); }));
  rebuild();
}

Tile TileStore::finderTile() {
  return appTile("system:finder", std::string(finderBundleIdentifier), "Finder",
                 workspace_.urlForApplication(finderBundleIdentifier), TileSection::pinned);
}

ChromeProfileTile TileStore::profileTile(const std::string& directory) const {
  if (auto profile = chromeProfiles_.profile(directory)) {
    return ChromeProfileTile::from(*profile);
  }
  return ChromeProfileTile::placeholder(directory);
}

void TileStore::rebuild() {
  const std::string chrome(kChromeBundleIdentifier);

  std::vector<RunningApp> running = workspace_.runningApplications();
  std::erase_if(running, [](const RunningApp& app) {
    return app.activationPolicy != ActivationPolicy::regular;
  });
  const RunningIdentifiers identifiers = groupIdentifiers(running);

  // Compared before a set is built: an unchanged rebuild allocates nothing for it.
  const auto& current = runningBundleIDs_.get();
  if (!std::equal(identifiers.sorted.begin(), identifiers.sorted.end(), current.begin(),
                  current.end())) {
    runningBundleIDs_.set(
        std::set<std::string>(identifiers.sorted.begin(), identifiers.sorted.end()));
  }

  const auto frontmost = workspace_.frontmostApplication();
  activeBundleID_.set(frontmost ? frontmost->bundleIdentifier : std::nullopt);

  std::vector<std::string_view> pinnedIdentifiers{finderBundleIdentifier};
  std::vector<std::string_view> pinnedProfiles;
  for (const auto& item : pins_->pinned()) {
    if (const auto* app = std::get_if<PinnedApp>(&item)) {
      pinnedIdentifiers.push_back(app->bundleIdentifier);
    } else if (const auto* profile = std::get_if<PinnedChromeProfile>(&item)) {
      pinnedProfiles.push_back(profile->directory);
    }
  }
  sortUnique(pinnedIdentifiers);
  sortUnique(pinnedProfiles);

  ChromeRow row = chromeRow(chromeInstances_.mainBrowserProcessIdentifier().has_value(),
                            containsSorted(pinnedIdentifiers, chrome), pinnedProfiles, running);
  chromeSlotProfileDirectory_ = row.slotProfileDirectory;
  hiddenPinnedApp_ = row.hidesPlainPin ? std::optional<std::string>(chrome) : std::nullopt;

  const auto profileTileFor = [this](const std::string& directory) {
    return profileTile(directory);
  };

  std::vector<Tile> list;
  list.reserve(pins_->pinned().size() + running.size() + row.runningTiles.size() +
               pins_->trailing().size() + 8);
  list.push_back(finderTile());

  std::optional<PinnedRow::ChromeSlot> slot;
  if (row.pinnedSlot) {
    slot = PinnedRow::ChromeSlot{chrome, std::move(*row.pinnedSlot)};
  }
  for (auto& tile : PinnedRow::tiles(pins_->pinned(), TileSection::pinned, slot, hiddenPinnedApp_,
                                     profileTileFor, files_)) {
    list.push_back(std::move(tile));
  }

  // The running divider goes in first and comes out again when nothing follows it.
  list.push_back({"divider:running", DividerTile{}, TileSection::running});
  const std::size_t runningStart = list.size();
  appendRunningSection(list, running, identifiers.positionOf,
                       membership(identifiers.sorted, pinnedIdentifiers), row.runningTiles);
  if (list.size() == runningStart) {
    list.pop_back();
  }

  list.push_back({"divider:trailing", DividerTile{}, TileSection::trailing});
  for (auto& tile : PinnedRow::tiles(pins_->trailing(), TileSection::trailing, std::nullopt,
                                     std::nullopt, profileTileFor, files_)) {
    list.push_back(std::move(tile));
  }
  list.push_back({"trailing:trash", TrashTile{}, TileSection::trailing});

  tiles_.set(std::move(list));
}

void TileStore::appendRunningSection(std::vector<Tile>& list,
                                     const std::vector<RunningApp>& running,
                                     const std::vector<std::size_t>& identifierPosition,
                                     const std::vector<bool>& pinnedIdentifier,
                                     std::vector<Tile>& chromeTiles) {
  const std::string chrome(kChromeBundleIdentifier);

  // Oldest first; no launch date counts as the most distant past, ties keep the workspace order.
  std::vector<std::size_t> byLaunch(running.size());
  std::iota(byLaunch.begin(), byLaunch.end(), std::size_t{0});
  static constexpr double distantPast = -std::numeric_limits<double>::infinity();
  std::stable_sort(byLaunch.begin(), byLaunch.end(), [&](std::size_t a, std::size_t b) {
    return running[a].launchDate.value_or(distantPast) <
           running[b].launchDate.value_or(distantPast);
  });

  std::vector<bool> seen(pinnedIdentifier.size());
  for (const std::size_t index : byLaunch) {
    const RunningApp& app = running[index];
    const std::size_t position = identifierPosition[index];
    if (position == RunningIdentifiers::npos || *app.bundleIdentifier == ownBundleIdentifier) {
      continue;
    }
    const std::string& identifier = *app.bundleIdentifier;
    if (seen[position] || hiddenApps_.contains(identifier)) {
      continue;
    }
    seen[position] = true;
    if (identifier == chrome) {
      for (auto& tile : chromeTiles) {
        list.push_back(std::move(tile));
      }
      for (const auto& instance : chromeInstances_.secondaryInstances()) {
        list.push_back(appTile("running:" + chrome + ":" + std::to_string(instance.pid), chrome,
                               instance.name, app.bundleURL, TileSection::running, instance.pid));
      }
      continue;
    }
    if (pinnedIdentifier[position]) {
      continue;
    }
    list.push_back(appTile("running:" + identifier, identifier,
                           app.localizedName.value_or(identifier), app.bundleURL,
                           TileSection::running));
  }
}

TileStore::ChromeRow TileStore::chromeRow(bool isRunning, bool isPinned,
                                          const std::vector<std::string_view>& pinnedProfiles,
                                          const std::vector<RunningApp>& running) {
  std::vector<std::string> live;
  if (isRunning) {
    live = chromeProfiles_.liveProfileDirectories();
  }
  // A profile that goes away and comes back joins at the end again.
  std::erase_if(chromeProfileAppearanceOrder_,
                [&](const std::string& directory) { return !contains(live, directory); });
  for (const auto& directory : live) {
    if (!contains(chromeProfileAppearanceOrder_, directory)) {
      chromeProfileAppearanceOrder_.push_back(directory);
    }
  }

  ChromeRow row;
  if (!isRunning) {
    return row;
  }

  std::vector<std::string> unpinned;
  for (const auto& directory : chromeProfileAppearanceOrder_) {
    if (!containsSorted(pinnedProfiles, directory)) {
      unpinned.push_back(directory);
    }
  }

  std::size_t next = 0;
  if (isPinned && !unpinned.empty()) {
    const std::string& directory = unpinned.front();
    row.pinnedSlot =
        Tile{"pinned:chrome-profile:" + directory, profileTile(directory), TileSection::pinned};
    row.slotProfileDirectory = directory;
    next = 1;
  }
  for (; next < unpinned.size(); ++next) {
    row.runningTiles.push_back(
        {"chrome-profile:" + unpinned[next], profileTile(unpinned[next]), TileSection::running});
  }

  // Unattributed windows are asked for only where the answer matters.
  bool plainTile = false;
  if (isPinned) {
    if (!row.pinnedSlot) {
      row.hidesPlainPin = !live.empty() && chromeProfiles_.unattributedWindows().empty();
    } else {
      plainTile = !chromeProfiles_.unattributedWindows().empty();
    }
  } else {
    plainTile = live.empty() || !chromeProfiles_.unattributedWindows().empty();
  }

  if (plainTile) {
    const std::string chrome(kChromeBundleIdentifier);
    const RunningApp* first = nullptr;
    for (const auto& app : running) {
      if (app.bundleIdentifier == chrome) {
        first = &app;
        break;
      }
    }
    std::string name = "Google Chrome";
    if (first != nullptr && first->localizedName && !first->localizedName->empty()) {
      name = *first->localizedName;
    }
    row.runningTiles.push_back(appTile("running:" + chrome, chrome, std::move(name),
                                       first != nullptr ? first->bundleURL : std::nullopt,
                                       TileSection::running));
  }
  return row;
}

void TileStore::reloadPins() {
  if (pins_->reload()) {
    rebuild();
  }
}

void TileStore::pin(const PinnedItem& item, TileSection section, std::optional<std::size_t> index) {
  auto list = PinnedRow::inserted(pins_->list(section), item, index);
  if (!list) {
    return;
  }
  pins_->replace(std::move(*list), section);
  rebuild();
}

bool TileStore::isPinned(std::string_view bundleIdentifier) const {
  return std::any_of(pins_->pinned().begin(), pins_->pinned().end(), [&](const PinnedItem& item) {
    const auto* app = std::get_if<PinnedApp>(&item);
    return app != nullptr && app->bundleIdentifier == bundleIdentifier;
  });
}

bool TileStore::isPinnedProfile(std::string_view profileDirectory) const {
  return std::any_of(pins_->pinned().begin(), pins_->pinned().end(), [&](const PinnedItem& item) {
    const auto* profile = std::get_if<PinnedChromeProfile>(&item);
    return profile != nullptr && profile->directory == profileDirectory;
  });
}

std::optional<std::size_t> TileStore::storedIndex(const Tile& tile) const {
  if (tile.section == TileSection::running || tile.isDivider() || tile.isTrash() ||
      tile.id.starts_with("system:")) {
    return std::nullopt;
  }
  const auto reorderable = PinnedRow::reorderable(tiles(), tile.section);
  const auto found = std::find_if(reorderable.begin(), reorderable.end(),
                                  [&](const Tile& candidate) { return candidate.id == tile.id; });
  if (found == reorderable.end()) {
    return std::nullopt;
  }
  const auto position = static_cast<std::size_t>(found - reorderable.begin());
  const auto& stored = pins_->list(tile.section);

  // A pinned application the last rebuild showed no tile for has no position among the tiles:
  // step over it so the tiles after it still map to their own items.
  std::size_t index = position;
  if (tile.section == TileSection::pinned && hiddenPinnedApp_) {
    std::size_t visible = 0;
    for (index = 0; index < stored.size(); ++index) {
      const auto* app = std::get_if<PinnedApp>(&stored[index]);
      if (app != nullptr && app->bundleIdentifier == *hiddenPinnedApp_) {
        continue;
      }
      if (visible == position) {
        break;
      }
      ++visible;
    }
  }
  if (index >= stored.size() || !PinnedRow::item(stored[index], tile)) {
    return std::nullopt;
  }
  return index;
}

}  // namespace quayline
