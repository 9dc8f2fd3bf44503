#include "tools/pins/StagedPreferences.h"

#include <algorithm>

#include "platform/linux/FilePreferenceDomains.h"

namespace quayline {
namespace {

void apply(PropertyValue::Dictionary& values, const std::string& key,
           const std::optional<PropertyValue>& value) {
  if (value) {
    values.insert_or_assign(key, *value);
  } else {
    values.erase(key);
  }
}

}  // namespace

std::optional<PropertyValue> StagedPreferences::copy(std::string_view domain,
                                                     std::string_view key) {
  if (const auto changes = staged_.find(domain); changes != staged_.end()) {
    if (const auto change = changes->second.find(key); change != changes->second.end()) {
      return change->second;
    }
  }
  return domains_.copy(domain, key);
}

void StagedPreferences::set(std::string_view domain, std::string_view key,
                            std::optional<PropertyValue> value) {
  staged_[std::string(domain)].insert_or_assign(std::string(key), std::move(value));
}

PropertyValue::Dictionary StagedPreferences::copyAll(std::string_view domain) {
  PropertyValue::Dictionary values = domains_.copyAll(domain);
  if (const auto changes = staged_.find(domain); changes != staged_.end()) {
    for (const auto& [key, value] : changes->second) {
      apply(values, key, value);
    }
  }
  return values;
}

std::vector<std::string> StagedPreferences::domains() {
  std::vector<std::string> names = domains_.domains();
  for (const auto& [domain, changes] : staged_) {
    if (std::find(names.begin(), names.end(), domain) == names.end()) {
      names.push_back(domain);
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool StagedPreferences::commit() {
  for (const auto& [domain, changes] : staged_) {
    // Values another program wrote since this one first read the file survive.
    domains_.synchronize(domain);
    PropertyValue::Dictionary values = domains_.copyAll(domain);
    for (const auto& [key, value] : changes) {
      apply(values, key, value);
    }
    if (!domains_.replaceAll(domain, std::move(values))) {
      return false;
    }
  }
  staged_.clear();
  return true;
}

}  // namespace quayline
