#include "fakes/FakePreferenceDomains.h"

namespace quayline {

namespace {
void apply(PropertyValue::Dictionary& dictionary, std::string_view key,
           const std::optional<PropertyValue>& value) {
  if (value) {
    dictionary.insert_or_assign(std::string(key), *value);
  } else {
    dictionary.erase(std::string(key));
  }
}
}  // namespace

std::optional<PropertyValue> FakePreferenceDomains::copy(std::string_view domain,
                                                         std::string_view key) {
  auto found = visible_.find(domain);
  if (found == visible_.end()) {
    return std::nullopt;
  }
  auto entry = found->second.find(std::string(key));
  if (entry == found->second.end()) {
    return std::nullopt;
  }
  return entry->second;
}

void FakePreferenceDomains::set(std::string_view domain, std::string_view key,
                                std::optional<PropertyValue> value) {
  writes_.push_back({std::string(domain), std::string(key), value});
  apply(visible_[std::string(domain)], key, value);
  if (!failWrites) {
    apply(disk_[std::string(domain)], key, value);
  }
}

bool FakePreferenceDomains::synchronize(std::string_view domain) {
  synchronizes_[std::string(domain)]++;
  if (failWrites) {
    return false;
  }
  visible_[std::string(domain)] = disk_[std::string(domain)];
  return true;
}

PropertyValue::Dictionary FakePreferenceDomains::copyAll(std::string_view domain) {
  auto found = visible_.find(domain);
  return found == visible_.end() ? PropertyValue::Dictionary{} : found->second;
}

std::vector<std::string> FakePreferenceDomains::domains() {
  std::vector<std::string> names;
  for (const auto& [name, values] : visible_) {
    if (!values.empty()) {
      names.push_back(name);
    }
  }
  return names;
}

void FakePreferenceDomains::external(std::string_view domain, std::string_view key,
                                     std::optional<PropertyValue> value) {
  apply(disk_[std::string(domain)], key, value);
}

void FakePreferenceDomains::seed(std::string_view domain, std::string_view key,
                                 PropertyValue value) {
  apply(disk_[std::string(domain)], key, value);
  apply(visible_[std::string(domain)], key, value);
}

std::vector<FakePreferenceDomains::Write> FakePreferenceDomains::writes(
    std::string_view domain) const {
  std::vector<Write> result;
  for (const auto& write : writes_) {
    if (write.domain == domain) {
      result.push_back(write);
    }
  }
  return result;
}

int FakePreferenceDomains::synchronizeCount(std::string_view domain) const {
  auto found = synchronizes_.find(domain);
  return found == synchronizes_.end() ? 0 : found->second;
}

}  // namespace quayline
