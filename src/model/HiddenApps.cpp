#include "model/HiddenApps.h"

#include <algorithm>

#include "foundation/PropertyValue.h"
#include "platform/PreferenceDomains.h"
#include "platform/Workspace.h"

namespace quayline {

namespace {

// Anything other than an array reads as an empty list; elements that are not strings are
// stepped over rather than costing the user the whole list.
std::vector<std::string> readStored(PreferenceDomains& defaults) {
  std::vector<std::string> result;
  const auto stored = defaults.copy(PreferenceDomains::application, HiddenApps::key);
  if (!stored || stored->array() == nullptr) {
    return result;
  }
  for (const auto& element : *stored->array()) {
    if (const auto* text = element.string()) {
      result.push_back(*text);
    }
  }
  return result;
}

std::string fileNameWithoutExtension(const std::string& path) {
  const auto slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const auto dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) {
    name.resize(dot);
  }
  return name;
}

}  // namespace

HiddenApps::HiddenApps(PreferenceDomains& defaults, Workspace& workspace)
    : defaults_(defaults), workspace_(workspace), bundleIdentifiers_(readStored(defaults)) {}

bool HiddenApps::contains(std::string_view bundleIdentifier) const {
  const auto& list = bundleIdentifiers_.get();
  return std::find(list.begin(), list.end(), bundleIdentifier) != list.end();
}

void HiddenApps::hide(const std::string& bundleIdentifier) {
  auto list = bundleIdentifiers_.get();
  if (!contains(bundleIdentifier)) {
    list.push_back(bundleIdentifier);
  }
  store(std::move(list));
}

void HiddenApps::show(const std::string& bundleIdentifier) {
  auto list = bundleIdentifiers_.get();
  std::erase(list, bundleIdentifier);
  store(std::move(list));
}

void HiddenApps::store(std::vector<std::string> identifiers) {
  PropertyValue::Array array;
  array.reserve(identifiers.size());
  for (const auto& identifier : identifiers) {
    array.emplace_back(identifier);
  }
  defaults_.set(PreferenceDomains::application, key, PropertyValue(std::move(array)));
  bundleIdentifiers_.set(std::move(identifiers));
}

std::string HiddenApps::displayName(const std::string& bundleIdentifier) {
  for (const auto& app : workspace_.runningApplications()) {
    if (app.bundleIdentifier == bundleIdentifier) {
      if (app.localizedName && !app.localizedName->empty()) {
        return *app.localizedName;
      }
      break;
    }
  }
  if (auto url = workspace_.urlForApplication(bundleIdentifier)) {
    auto name = fileNameWithoutExtension(url->path());
    if (!name.empty()) {
      return name;
    }
  }
  return bundleIdentifier;
}

}  // namespace quayline
