#include "model/PinnedRow.h"

#include <cmath>
#include <set>

#include "platform/FileManager.h"

namespace quayline::PinnedRow {

namespace {

constexpr std::string_view kAppSuffix = ".app";

std::string appDisplayName(const std::string& path, const std::string& bundleIdentifier,
                           FileManager& files) {
  std::string name = files.displayName(path);
  if (name.ends_with(kAppSuffix)) {
    name.resize(name.size() - kAppSuffix.size());
  }
  return name.empty() ? bundleIdentifier : name;
}

}  // namespace

std::vector<Tile> tiles(const std::vector<PinnedItem>& items, TileSection section,
                        const std::optional<ChromeSlot>& chromeSlot,
                        const std::optional<std::string>& hiddenAppBundleIdentifier,
                        const ProfileTileProvider& profileTile, FileManager& files) {
  const std::string prefix = sectionPrefix(section);
  std::vector<Tile> result;
  result.reserve(items.size());
  int spacers = 0;
  for (const auto& item : items) {
    if (const auto* folder = std::get_if<PinnedFolder>(&item)) {
      result.push_back(
          {prefix + "folder:" + folder->path,
           FolderTile{Url::fileURL(folder->path, true), files.displayName(folder->path)}, section});
    } else if (const auto* spacer = std::get_if<PinnedSpacer>(&item)) {
      ++spacers;
      result.push_back(
          {prefix + "spacer:" + std::to_string(spacers), SpacerTile{spacer->small}, section});
    } else if (const auto* profile = std::get_if<PinnedChromeProfile>(&item)) {
      result.push_back({prefix + "chrome-profile:" + profile->directory,
                        profileTile(profile->directory), section});
    } else if (const auto* app = std::get_if<PinnedApp>(&item)) {
      if (chromeSlot && chromeSlot->bundleIdentifier == app->bundleIdentifier) {
        result.push_back(chromeSlot->tile);
        continue;
      }
      if (hiddenAppBundleIdentifier && *hiddenAppBundleIdentifier == app->bundleIdentifier) {
        continue;
      }
      AppTile tile{
          .bundleIdentifier = app->bundleIdentifier,
          .displayName = app->path ? appDisplayName(*app->path, app->bundleIdentifier, files)
                                   : app->bundleIdentifier,
          .url = app->path ? std::optional(Url::fileURL(*app->path)) : std::nullopt,
      };
      result.push_back({prefix + "app:" + app->bundleIdentifier, std::move(tile), section});
    }
  }
  return result;
}

bool item(const PinnedItem& item, const Tile& tile, std::string_view chromeBundleIdentifier) {
  if (const auto* app = std::get_if<PinnedApp>(&item)) {
    if (const auto* appTile = tile.app()) {
      return appTile->bundleIdentifier == app->bundleIdentifier;
    }
    if (const auto* profile = tile.chromeProfile()) {
      return app->bundleIdentifier == chromeBundleIdentifier &&
             profile->bundleIdentifier == chromeBundleIdentifier;
    }
    return false;
  }
  if (const auto* pinnedProfile = std::get_if<PinnedChromeProfile>(&item)) {
    const auto* profile = tile.chromeProfile();
    return profile != nullptr && profile->profileDirectory == pinnedProfile->directory;
  }
  if (std::holds_alternative<PinnedSpacer>(item)) {
    return tile.spacer() != nullptr;
  }
  if (const auto* pinnedFolder = std::get_if<PinnedFolder>(&item)) {
    const auto* folder = tile.folder();
    return folder != nullptr && folder->url.path() == pinnedFolder->path;
  }
  return false;
}

std::vector<Tile> reorderable(const std::vector<Tile>& tiles, TileSection section) {
  std::vector<Tile> result;
  if (section == TileSection::running) {
    return result;
  }
  for (const auto& tile : tiles) {
    if (tile.section == section && !tile.isDivider() && !tile.isTrash() &&
        !tile.id.starts_with("system:")) {
      result.push_back(tile);
    }
  }
  return result;
}

std::vector<PinnedItem> deduplicated(const std::vector<PinnedItem>& items) {
  // Keys are kept per kind so that a folder path can never shadow a bundle identifier.
  std::set<std::pair<std::size_t, std::string>> seen;
  std::vector<PinnedItem> result;
  result.reserve(items.size());
  for (const auto& item : items) {
    std::optional<std::string> key;
    if (const auto* app = std::get_if<PinnedApp>(&item)) {
      key = app->bundleIdentifier;
    } else if (const auto* profile = std::get_if<PinnedChromeProfile>(&item)) {
      key = profile->directory;
    } else if (const auto* folder = std::get_if<PinnedFolder>(&item)) {
      key = folder->path;
    }
    if (!key || seen.emplace(item.index(), *key).second) {
      result.push_back(item);
    }
  }
  return result;
}

std::optional<std::vector<PinnedItem>> inserted(std::vector<PinnedItem> items,
                                                const PinnedItem& item,
                                                std::optional<std::size_t> index) {
  const std::size_t at = index && *index <= items.size() ? *index : items.size();
  items.insert(items.begin() + static_cast<std::ptrdiff_t>(at), item);
  // The stored list holds one entry per key, so a shorter de-duplicated list means the item
  // was already there.
  if (deduplicated(items).size() != items.size()) {
    return std::nullopt;
  }
  return items;
}

std::vector<PinnedItem> moved(std::vector<PinnedItem> items, long from, long to) {
  const long count = static_cast<long>(items.size());
  if (from < 0 || from >= count || to < 0 || to >= count || from == to) {
    return items;
  }
  PinnedItem entry = std::move(items[static_cast<std::size_t>(from)]);
  items.erase(items.begin() + from);
  items.insert(items.begin() + to, std::move(entry));
  return items;
}

long dropIndex(const std::vector<double>& widths, long source, double translation) {
  const long count = static_cast<long>(widths.size());
  if (source < 0 || source >= count) {
    return source;
  }
  const double width = widths[static_cast<std::size_t>(source)];
  double before = 0;
  for (long i = 0; i < source; ++i) {
    before += widths[static_cast<std::size_t>(i)];
  }
  const double centre = before + width / 2 + translation;

  std::vector<double> remaining = widths;
  remaining.erase(remaining.begin() + source);
  long best = 0;
  double bestDistance = INFINITY;
  double leading = 0;
  for (long k = 0; k <= static_cast<long>(remaining.size()); ++k) {
    const double distance = std::fabs(leading + width / 2 - centre);
    if (distance < bestDistance) {  // strict: on a tie the smaller slot wins
      best = k;
      bestDistance = distance;
    }
    if (k < static_cast<long>(remaining.size())) {
      leading += remaining[static_cast<std::size_t>(k)];
    }
  }
  return best;
}

}  // namespace quayline::PinnedRow
