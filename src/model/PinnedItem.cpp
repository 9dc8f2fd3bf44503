#include "model/PinnedItem.h"

#include "foundation/Hashing.h"

namespace quayline {

namespace {

struct Encoder {
  Json operator()(const PinnedApp& app) const {
    Json object{{"kind", "app"}, {"bundleIdentifier", app.bundleIdentifier}};
    if (app.path) {
      object["path"] = *app.path;
    }
    return object;
  }
  Json operator()(const PinnedChromeProfile& profile) const {
    return {{"kind", "chromeProfile"}, {"directory", profile.directory}};
  }
  Json operator()(const PinnedSpacer& spacer) const {
    return {{"kind", "spacer"}, {"small", spacer.small}};
  }
  Json operator()(const PinnedFolder& folder) const {
    return {{"kind", "folder"}, {"path", folder.path}};
  }
};

// A key that is absent or null counts as absent; present with another type is an error.
enum class Lookup { absent, present, wrongType };

Lookup lookupString(const Json& object, const char* key, std::string& out) {
  auto found = object.find(key);
  if (found == object.end() || found->is_null()) {
    return Lookup::absent;
  }
  if (!found->is_string()) {
    return Lookup::wrongType;
  }
  out = found->get<std::string>();
  return Lookup::present;
}

Decoded<PinnedItem> failure(std::string error) {
  return {std::nullopt, std::move(error)};
}

Decoded<PinnedItem> requiredString(const Json& object, const char* key, std::string& out) {
  switch (lookupString(object, key, out)) {
    case Lookup::absent:
      return failure(std::string("No value associated with key ") + key);
    case Lookup::wrongType:
      return failure(std::string("Expected a string for key ") + key);
    case Lookup::present:
      break;
  }
  return {};
}

}  // namespace

Json encodePinnedItem(const PinnedItem& item) {
  return std::visit(Encoder{}, item);
}

Decoded<PinnedItem> decodePinnedItem(const Json& object) {
  if (!object.is_object()) {
    return failure("Expected a dictionary");
  }
  std::string kind;
  if (auto error = requiredString(object, "kind", kind); !error.error.empty()) {
    return error;
  }
  if (kind == "app") {
    PinnedApp app;
    if (auto error = requiredString(object, "bundleIdentifier", app.bundleIdentifier);
        !error.error.empty()) {
      return error;
    }
    if (app.bundleIdentifier.empty()) {
      return failure("Empty bundle identifier");
    }
    std::string path;
    switch (lookupString(object, "path", path)) {
      case Lookup::wrongType:
        return failure("Expected a string for key path");
      case Lookup::present:
        app.path = std::move(path);
        break;
      case Lookup::absent:
        break;
    }
    return {PinnedItem{std::move(app)}, {}};
  }
  if (kind == "chromeProfile") {
    PinnedChromeProfile profile;
    if (auto error = requiredString(object, "directory", profile.directory); !error.error.empty()) {
      return error;
    }
    return {PinnedItem{std::move(profile)}, {}};
  }
  if (kind == "spacer") {
    PinnedSpacer spacer;
    auto found = object.find("small");
    if (found != object.end() && !found->is_null()) {
      if (!found->is_boolean()) {
        return failure("Expected a boolean for key small");
      }
      spacer.small = found->get<bool>();
    }
    return {PinnedItem{spacer}, {}};
  }
  if (kind == "folder") {
    PinnedFolder folder;
    if (auto error = requiredString(object, "path", folder.path); !error.error.empty()) {
      return error;
    }
    return {PinnedItem{std::move(folder)}, {}};
  }
  return failure("Unknown pinned item kind " + kind);
}

std::size_t hashValue(const PinnedItem& item) {
  std::size_t seed = 0;
  hashCombine(seed, item.index());
  if (const auto* app = std::get_if<PinnedApp>(&item)) {
    hashCombine(seed, app->bundleIdentifier);
    hashCombine(seed, app->path ? 1 : 0);
    if (app->path) {
      hashCombine(seed, *app->path);
    }
  } else if (const auto* profile = std::get_if<PinnedChromeProfile>(&item)) {
    hashCombine(seed, profile->directory);
  } else if (const auto* spacer = std::get_if<PinnedSpacer>(&item)) {
    hashCombine(seed, spacer->small);
  } else if (const auto* folder = std::get_if<PinnedFolder>(&item)) {
    hashCombine(seed, folder->path);
  }
  return seed;
}

std::ostream& operator<<(std::ostream& out, const PinnedItem& item) {
  return out << encodeJson(encodePinnedItem(item));
}

}  // namespace quayline

#include "model/LossyArray.h"

namespace quayline {

std::string encodePinnedList(const std::vector<PinnedItem>& items) {
  Json array = Json::array();
  for (const auto& item : items) {
    array.push_back(encodePinnedItem(item));
  }
  return encodeJson(array);
}

std::optional<std::vector<PinnedItem>> decodePinnedList(std::string_view data) {
  auto json = parseJson(data);
  if (!json) {
    return std::nullopt;
  }
  auto list = decodeLossyArray<PinnedItem>(*json, decodePinnedItem);
  if (!list) {
    return std::nullopt;
  }
  return std::move(list->elements);
}

}  // namespace quayline
