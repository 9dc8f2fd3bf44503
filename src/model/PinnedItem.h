#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <variant>

#include "foundation/Json.h"

namespace quayline {

// One entry the user pinned. The variant's index is the item's ordinal: app, chromeProfile,
// spacer, folder.
struct PinnedApp {
  std::string bundleIdentifier;
  std::optional<std::string> path;
  bool operator==(const PinnedApp&) const = default;
};
struct PinnedChromeProfile {
  std::string directory;
  bool operator==(const PinnedChromeProfile&) const = default;
};
struct PinnedSpacer {
  bool small = false;
  bool operator==(const PinnedSpacer&) const = default;
};
struct PinnedFolder {
  std::string path;
  bool operator==(const PinnedFolder&) const = default;
};

using PinnedItem = std::variant<PinnedApp, PinnedChromeProfile, PinnedSpacer, PinnedFolder>;

// A decoded value or the reason it could not be decoded.
template <typename T>
struct Decoded {
  std::optional<T> value;
  std::string error;
};

// The stored form: one JSON object per item, keys "kind", "bundleIdentifier", "path",
// "directory", "small".
Json encodePinnedItem(const PinnedItem& item);
Decoded<PinnedItem> decodePinnedItem(const Json& object);

std::size_t hashValue(const PinnedItem& item);
std::ostream& operator<<(std::ostream& out, const PinnedItem& item);

}  // namespace quayline

template <>
struct std::hash<quayline::PinnedItem> {
  std::size_t operator()(const quayline::PinnedItem& item) const noexcept {
    return quayline::hashValue(item);
  }
};

#include <span>
#include <vector>

namespace quayline {

// A stored pinned list: JSON data, keys sorted, no whitespace.
std::string encodePinnedList(const std::vector<PinnedItem>& items);
// Nothing when the data is not JSON or its top level is not an array; bad entries are skipped.
std::optional<std::vector<PinnedItem>> decodePinnedList(std::string_view data);

}  // namespace quayline
