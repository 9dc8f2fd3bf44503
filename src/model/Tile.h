#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "chrome/ChromeProfile.h"
#include "foundation/Url.h"

namespace quayline {

using ProcessIdentifier = std::int32_t;

inline constexpr std::string_view kChromeBundleIdentifier = "com.google.Chrome";

// Which part of the dock a tile belongs to.
enum class TileSection { pinned, running, trailing };

std::string_view sectionName(TileSection section);
// "pinned:", "running:" or "trailing:".
std::string sectionPrefix(TileSection section);

struct AppTile {
  std::string bundleIdentifier;
  std::string displayName;
  std::optional<Url> url;
  // Set only for a tile that stands for one particular process.
  std::optional<ProcessIdentifier> processIdentifier;

  bool operator==(const AppTile&) const = default;
};

struct ChromeProfileTile {
  std::string profileDirectory;
  std::string displayName;
  std::string bundleIdentifier{kChromeBundleIdentifier};
  std::optional<Url> avatarURL;
  std::string avatarIconValue;
  std::string initial;
  std::optional<std::uint32_t> badgeColorARGB;

  bool operator==(const ChromeProfileTile&) const = default;

  static ChromeProfileTile from(const ChromeProfile& profile);
  // Stands in for a directory no known profile has.
  static ChromeProfileTile placeholder(std::string_view directory);
};

struct FolderTile {
  Url url;
  std::string displayName;
  bool operator==(const FolderTile&) const = default;
};

struct SpacerTile {
  bool small = false;
  bool operator==(const SpacerTile&) const = default;
};
struct DividerTile {
  bool operator==(const DividerTile&) const = default;
};
struct TrashTile {
  bool operator==(const TrashTile&) const = default;
};

// The variant's index is the content's ordinal: app, chromeProfile, folder, spacer, divider,
// trash.
using TileContent =
    std::variant<AppTile, ChromeProfileTile, FolderTile, SpacerTile, DividerTile, TrashTile>;

struct Tile {
  std::string id;
  TileContent content;
  TileSection section = TileSection::pinned;

  bool operator==(const Tile&) const = default;

  const AppTile* app() const { return std::get_if<AppTile>(&content); }
  const ChromeProfileTile* chromeProfile() const {
    return std::get_if<ChromeProfileTile>(&content);
  }
  const FolderTile* folder() const { return std::get_if<FolderTile>(&content); }
  const SpacerTile* spacer() const { return std::get_if<SpacerTile>(&content); }
  bool isDivider() const { return std::holds_alternative<DividerTile>(content); }
  bool isTrash() const { return std::holds_alternative<TrashTile>(content); }
};

std::size_t hashValue(const TileContent& content);
std::size_t hashValue(const Tile& tile);

std::ostream& operator<<(std::ostream& out, TileSection section);
std::ostream& operator<<(std::ostream& out, const TileContent& content);
std::ostream& operator<<(std::ostream& out, const Tile& tile);

}  // namespace quayline

template <>
struct std::hash<quayline::Tile> {
  std::size_t operator()(const quayline::Tile& tile) const noexcept {
    return quayline::hashValue(tile);
  }
};
