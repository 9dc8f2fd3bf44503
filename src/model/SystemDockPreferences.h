#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "foundation/PropertyValue.h"
#include "foundation/Url.h"

namespace quayline {

class DistributedNotifications;
class FileManager;
class PreferenceDomains;
class Processes;

// Reading and writing the system dock's own preference domain. Stateless: every call
// synchronises the domain itself.
namespace SystemDockPreferences {

inline constexpr std::string_view domain = "com.apple.dock";
inline constexpr std::string_view didChange = "com.apple.dock.prefchanged";

struct App {
  std::string bundleIdentifier;
  Url url;
  bool operator==(const App&) const = default;
};
struct Folder {
  Url url;
  bool operator==(const Folder&) const = default;
};
struct Spacer {
  bool small = false;
  bool operator==(const Spacer&) const = default;
};
using Item = std::variant<App, Folder, Spacer>;

enum class Edge { left, bottom, right };

// The convertible entries of "persistent-apps" or "persistent-others", in stored order.
std::vector<Item> tiles(PreferenceDomains& domains, FileManager& files, std::string_view key,
                        bool appsAllowed);

// The conversion of one stored list value, without touching the store.
std::vector<Item> convert(const PropertyValue& list, bool appsAllowed, FileManager& files);

// The URL in a tile-data dictionary's "file-data" → "_CFURLString".
std::optional<Url> fileURL(const PropertyValue& tileData);

Edge orientation(PreferenceDomains& domains);

// Moves the system dock to the bottom edge and relaunches it.
void setOrientationToBottom(PreferenceDomains& domains, Processes& processes);

// Stores the tile size, rounded half away from zero, and tells the system dock.
void setTileSize(PreferenceDomains& domains, DistributedNotifications& notifications, double size);

std::ostream& operator<<(std::ostream& out, const Item& item);

}  // namespace SystemDockPreferences
}  // namespace quayline
