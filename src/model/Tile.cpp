#include "model/Tile.h"

#include "foundation/Hashing.h"
#include "foundation/Text.h"

namespace quayline {

std::string_view sectionName(TileSection section) {
  switch (section) {
    case TileSection::pinned:
      return "pinned";
    case TileSection::running:
      return "running";
    case TileSection::trailing:
      return "trailing";
  }
  return "pinned";
}

std::string sectionPrefix(TileSection section) {
  return std::string(sectionName(section)) + ":";
}

ChromeProfileTile ChromeProfileTile::from(const ChromeProfile& profile) {
  const std::string& source = profile.name.empty() ? profile.email : profile.name;
  const std::string first = text::firstNonWhitespaceCharacter(source);
  ChromeProfileTile tile;
  tile.profileDirectory = profile.directory;
  tile.displayName = source;
  tile.avatarURL = profile.avatarURL;
  tile.avatarIconValue = profile.avatarIconValue;
  tile.initial = first.empty() ? "?" : text::uppercased(first);
  tile.badgeColorARGB = profile.badgeColorARGB;
  return tile;
}

ChromeProfileTile ChromeProfileTile::placeholder(std::string_view directory) {
  ChromeProfileTile tile;
  tile.profileDirectory = std::string(directory);
  tile.displayName = std::string(directory);
  tile.initial = "?";
  return tile;
}

namespace {

std::size_t payloadHash(const AppTile& app) {
  std::size_t seed = 0;
  hashCombine(seed, app.bundleIdentifier);
  hashCombine(seed, app.displayName);
  hashCombine(seed, app.url);
  hashCombine(seed, app.processIdentifier);
  return seed;
}

std::size_t payloadHash(const ChromeProfileTile& profile) {
  std::size_t seed = 0;
  hashCombine(seed, profile.profileDirectory);
  hashCombine(seed, profile.displayName);
  hashCombine(seed, profile.bundleIdentifier);
  hashCombine(seed, profile.avatarURL);
  hashCombine(seed, profile.avatarIconValue);
  hashCombine(seed, profile.initial);
  hashCombine(seed, profile.badgeColorARGB);
  return seed;
}

std::size_t payloadHash(const FolderTile& folder) {
  std::size_t seed = 0;
  hashCombine(seed, folder.url);
  hashCombine(seed, folder.displayName);
  return seed;
}

std::size_t payloadHash(const SpacerTile& spacer) {
  return std::hash<bool>{}(spacer.small);
}
std::size_t payloadHash(const DividerTile&) {
  return 0;
}
std::size_t payloadHash(const TrashTile&) {
  return 0;
}

}  // namespace

std::size_t hashValue(const TileContent& content) {
  std::size_t seed = 0;
  hashCombine(seed, content.index());
  hashCombine(seed, std::visit([](const auto& payload) { return payloadHash(payload); }, content));
  return seed;
}

std::size_t hashValue(const Tile& tile) {
  std::size_t seed = 0;
  hashCombine(seed, tile.id);
  hashCombine(seed, hashValue(tile.content));
  hashCombine(seed, static_cast<int>(tile.section));
  return seed;
}

std::ostream& operator<<(std::ostream& out, TileSection section) {
  return out << sectionName(section);
}

std::ostream& operator<<(std::ostream& out, const TileContent& content) {
  struct Printer {
    std::ostream& out;
    void operator()(const AppTile& app) const {
      out << "app(" << app.bundleIdentifier << ", \"" << app.displayName << "\"";
      if (app.url)
        out << ", " << *app.url;
      if (app.processIdentifier)
        out << ", pid " << *app.processIdentifier;
      out << ")";
    }
    void operator()(const ChromeProfileTile& profile) const {
      out << "chromeProfile(" << profile.profileDirectory << ", \"" << profile.displayName
          << "\", initial " << profile.initial << ")";
    }
    void operator()(const FolderTile& folder) const {
      out << "folder(" << folder.url << ", \"" << folder.displayName << "\")";
    }
    void operator()(const SpacerTile& spacer) const {
      out << (spacer.small ? "spacer(small)" : "spacer");
    }
    void operator()(const DividerTile&) const { out << "divider"; }
    void operator()(const TrashTile&) const { out << "trash"; }
  };
  std::visit(Printer{out}, content);
  return out;
}

std::ostream& operator<<(std::ostream& out, const Tile& tile) {
  return out << "Tile{" << tile.id << ", " << tile.content << ", " << tile.section << "}";
}

}  // namespace quayline
