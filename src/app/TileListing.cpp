#include "app/TileListing.h"

#include <algorithm>

#include "foundation/Json.h"

namespace quayline::TileListing {

namespace {

std::string oneLine(std::string text) {
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
  return text;
}

}  // namespace

std::string label(const Tile& tile) {
  struct Label {
    std::string operator()(const AppTile& app) const { return app.displayName; }
    std::string operator()(const ChromeProfileTile& profile) const { return profile.displayName; }
    std::string operator()(const FolderTile& folder) const { return folder.displayName; }
    std::string operator()(const SpacerTile& spacer) const {
      return spacer.small ? "small spacer" : "spacer";
    }
    std::string operator()(const DividerTile&) const { return "divider"; }
    std::string operator()(const TrashTile&) const { return "Trash"; }
  };
  return std::visit(Label{}, tile.content);
}

std::vector<Entry> entries(const std::vector<Tile>& tiles,
                           const std::set<std::string>& runningBundleIDs,
                           const std::optional<std::string>& activeBundleID,
                           const std::vector<std::string>& liveProfileDirectories) {
  std::vector<Entry> result;
  result.reserve(tiles.size());
  for (const auto& tile : tiles) {
    Entry entry{tile.id, tile.section, label(tile)};
    if (const auto* app = tile.app()) {
      entry.running = runningBundleIDs.count(app->bundleIdentifier) != 0;
      entry.active = entry.running && activeBundleID == app->bundleIdentifier;
    } else if (const auto* profile = tile.chromeProfile()) {
      entry.running = std::find(liveProfileDirectories.begin(), liveProfileDirectories.end(),
                                profile->profileDirectory) != liveProfileDirectories.end();
      entry.active = entry.running && activeBundleID == profile->bundleIdentifier;
    }
    result.push_back(std::move(entry));
  }
  return result;
}

std::string text(const std::vector<Entry>& entries) {
  std::string out;
  for (const auto& entry : entries) {
    out += oneLine(entry.id) + '\t' + std::string(sectionName(entry.section)) + '\t' +
           oneLine(entry.label) + '\t' +
           (entry.active    ? "active"
            : entry.running ? "running"
                            : "-") +
           '\n';
  }
  return out;
}

std::string json(const std::vector<Entry>& entries) {
  Json array = Json::array();
  for (const auto& entry : entries) {
    array.push_back({{"id", entry.id},
                     {"section", std::string(sectionName(entry.section))},
                     {"label", entry.label},
                     {"running", entry.running},
                     {"active", entry.active}});
  }
  return encodeJson(array) + "\n";
}

}  // namespace quayline::TileListing
