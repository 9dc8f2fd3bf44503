#pragma once

#include <string>

#include "foundation/PropertyValue.h"

namespace quayline::testing {

// One entry of the system dock's persistent lists, shaped as the system dock stores it.
inline PropertyValue dockEntry(const std::string& tileType, const std::string& urlString,
                               const std::string& bundleIdentifier = "") {
  PropertyValue::Dictionary tileData;
  if (!urlString.empty()) {
    tileData["file-data"] = PropertyValue(PropertyValue::Dictionary{
        {"_CFURLString", PropertyValue(urlString)}, {"_CFURLStringType", PropertyValue(15)}});
  }
  if (!bundleIdentifier.empty()) {
    tileData["bundle-identifier"] = PropertyValue(bundleIdentifier);
  }
  tileData["file-label"] = PropertyValue("label");
  PropertyValue::Dictionary entry{{"tile-data", PropertyValue(std::move(tileData))},
                                  {"GUID", PropertyValue(12345)}};
  if (!tileType.empty()) {
    entry["tile-type"] = PropertyValue(tileType);
  }
  return PropertyValue(std::move(entry));
}

inline PropertyValue spacerEntry(bool small) {
  return PropertyValue(PropertyValue::Dictionary{
      {"tile-type", PropertyValue(small ? "small-spacer-tile" : "spacer-tile")},
      {"tile-data", PropertyValue(PropertyValue::Dictionary{})}});
}

}  // namespace quayline::testing
