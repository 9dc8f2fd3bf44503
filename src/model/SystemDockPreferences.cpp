#include "model/SystemDockPreferences.h"

#include <cmath>

#include "platform/DistributedNotifications.h"
#include "platform/FileManager.h"
#include "platform/PreferenceDomains.h"
#include "platform/Processes.h"

namespace quayline::SystemDockPreferences {

namespace {

std::optional<Item> convertApp(const PropertyValue& tileData, bool appsAllowed,
                               FileManager& files) {
  if (!appsAllowed) {
    return std::nullopt;
  }
  auto url = fileURL(tileData);
  if (!url) {
    return std::nullopt;
  }
  std::optional<std::string> bundleIdentifier;
  const PropertyValue* stored = tileData.find("bundle-identifier");
  if (stored != nullptr && stored->string() != nullptr) {
    bundleIdentifier = *stored->string();
  } else if (url->isFileURL()) {
    bundleIdentifier = files.bundleIdentifier(url->path());
  }
  // A stored empty identifier does not fall back to the bundle's own.
  if (!bundleIdentifier || bundleIdentifier->empty()) {
    return std::nullopt;
  }
  return App{std::move(*bundleIdentifier), std::move(*url)};
}

std::optional<Item> convertEntry(const PropertyValue& entry, bool appsAllowed, FileManager& files) {
  static const PropertyValue kEmptyDictionary{PropertyValue::Dictionary{}};
  const PropertyValue* tileData = entry.find("tile-data");
  if (tileData == nullptr || tileData->dictionary() == nullptr) {
    tileData = &kEmptyDictionary;
  }
  const PropertyValue* tileType = entry.find("tile-type");
  if (tileType == nullptr || tileType->string() == nullptr || *tileType->string() == "file-tile") {
    return convertApp(*tileData, appsAllowed, files);
  }
  const std::string& type = *tileType->string();
  if (type == "spacer-tile") {
    return Spacer{false};
  }
  if (type == "small-spacer-tile") {
    return Spacer{true};
  }
  if (type == "directory-tile") {
    if (auto url = fileURL(*tileData)) {
      return Folder{std::move(*url)};
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<Url> fileURL(const PropertyValue& tileData) {
  const PropertyValue* fileData = tileData.find("file-data");
  if (fileData == nullptr) {
    return std::nullopt;
  }
  const PropertyValue* urlString = fileData->find("_CFURLString");
  if (urlString == nullptr || urlString->string() == nullptr || urlString->string()->empty()) {
    return std::nullopt;
  }
  const std::string& text = *urlString->string();
  if (text.starts_with("file:")) {
    return Url::parse(text);
  }
  return Url::fileURL(text, text.ends_with('/'));
}

std::vector<Item> convert(const PropertyValue& list, bool appsAllowed, FileManager& files) {
  std::vector<Item> items;
  const auto* entries = list.array();
  if (entries == nullptr) {
    return items;
  }
  for (const auto& entry : *entries) {
    if (entry.dictionary() == nullptr) {
      continue;
    }
    if (auto item = convertEntry(entry, appsAllowed, files)) {
      items.push_back(std::move(*item));
    }
  }
  return items;
}

std::vector<Item> tiles(PreferenceDomains& domains, FileManager& files, std::string_view key,
                        bool appsAllowed) {
  domains.synchronize(domain);
  auto list = domains.copy(domain, key);
  if (!list) {
    return {};
  }
  return convert(*list, appsAllowed, files);
}

Edge orientation(PreferenceDomains& domains) {
  domains.synchronize(domain);
  auto value = domains.copy(domain, "orientation");
  const std::string* text = value ? value->string() : nullptr;
  if (text != nullptr && *text == "left") {
    return Edge::left;
  }
  if (text != nullptr && *text == "right") {
    return Edge::right;
  }
  return Edge::bottom;
}

void setOrientationToBottom(PreferenceDomains& domains, Processes& processes) {
  domains.set(domain, "orientation", PropertyValue("bottom"));
  domains.synchronize(domain);
  // The system dock restarts and comes up at the bottom; a missing killall is ignored.
  (void)processes.launch("/usr/bin/killall", {"Dock"}, Processes::StandardError::discard);
}

void setTileSize(PreferenceDomains& domains, DistributedNotifications& notifications, double size) {
  if (!std::isfinite(size) || std::fabs(size) > 1e9) {
    return;  // not a size anyone can pick; storing it would only corrupt the domain
  }
  const auto rounded = static_cast<std::int64_t>(std::round(size));  // halves away from zero
  domains.set(domain, "tilesize", PropertyValue(rounded));
  domains.synchronize(domain);
  notifications.post(didChange);
}

std::ostream& operator<<(std::ostream& out, const Item& item) {
  if (const auto* app = std::get_if<App>(&item)) {
    return out << "app(" << app->bundleIdentifier << ", " << app->url << ")";
  }
  if (const auto* folder = std::get_if<Folder>(&item)) {
    return out << "folder(" << folder->url << ")";
  }
  return out << (std::get<Spacer>(item).small ? "spacer(small)" : "spacer");
}

}  // namespace quayline::SystemDockPreferences
