#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/PreferenceDomains.h"

namespace quayline {

// Preference domains in memory. Records every write so tests can assert on what was stored,
// and can simulate another process writing (`external`) and an unwritable store.
class FakePreferenceDomains final : public PreferenceDomains {
 public:
  struct Write {
    std::string domain;
    std::string key;
    std::optional<PropertyValue> value;
    bool operator==(const Write&) const = default;
  };

  std::optional<PropertyValue> copy(std::string_view domain, std::string_view key) override;
  void set(std::string_view domain, std::string_view key,
           std::optional<PropertyValue> value) override;
  bool synchronize(std::string_view domain) override;
  PropertyValue::Dictionary copyAll(std::string_view domain) override;
  std::vector<std::string> domains() override;

  // A value written by another process: seen only after the next synchronize.
  void external(std::string_view domain, std::string_view key, std::optional<PropertyValue> value);
  // A value present from the start, visible at once.
  void seed(std::string_view domain, std::string_view key, PropertyValue value);

  std::vector<Write> writes(std::string_view domain) const;
  void clearWrites() { writes_.clear(); }
  int synchronizeCount(std::string_view domain) const;

  bool failWrites = false;  // synchronize then reports failure

 private:
  std::map<std::string, PropertyValue::Dictionary, std::less<>> visible_;
  std::map<std::string, PropertyValue::Dictionary, std::less<>> disk_;
  std::vector<Write> writes_;
  std::map<std::string, int, std::less<>> synchronizes_;
};

}  // namespace quayline
