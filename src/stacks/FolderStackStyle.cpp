#include "stacks/FolderStackStyle.h"

#include <optional>

#include "platform/PreferenceDomains.h"

namespace quayline {

namespace {

// The stored map when it is a dictionary of strings only; anything else is not a map of styles.
std::optional<PropertyValue::Dictionary> storedMap(PreferenceDomains& defaults) {
  const auto stored = defaults.copy(PreferenceDomains::application, FolderStackStyles::key);
  if (!stored || stored->dictionary() == nullptr) {
    return std::nullopt;
  }
  for (const auto& [path, value] : *stored->dictionary()) {
    if (value.string() == nullptr) {
      return std::nullopt;
    }
  }
  return *stored->dictionary();
}

}  // namespace

FolderStackStyle FolderStackStyles::style(const std::string& folderPath) const {
  const auto map = storedMap(defaults_);
  if (!map) {
    return FolderStackStyle::grid;
  }
  const auto found = map->find(folderPath);
  return found != map->end() && *found->second.string() == "list" ? FolderStackStyle::list
                                                                  : FolderStackStyle::grid;
}

void FolderStackStyles::setStyle(FolderStackStyle style, const std::string& folderPath) {
  // A map spoilt by a value of another type keeps the styles it does hold.
  PropertyValue::Dictionary map;
  const auto stored = defaults_.copy(PreferenceDomains::application, key);
  if (stored && stored->dictionary() != nullptr) {
    for (const auto& [path, value] : *stored->dictionary()) {
      if (value.string() != nullptr) {
        map.emplace(path, value);
      }
    }
  }
  map[folderPath] = PropertyValue(std::string(style == FolderStackStyle::list ? "list" : "grid"));
  defaults_.set(PreferenceDomains::application, key, PropertyValue(std::move(map)));
}

}  // namespace quayline
