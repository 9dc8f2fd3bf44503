#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/PreferenceDomains.h"

namespace quayline {

class FilePreferenceDomains;

// Preference domains whose changes stay in memory until `commit`, which writes each changed
// domain's file once, atomically. Reads see the staged changes. A command that fails half-way
// simply never commits, so it leaves every file as it was.
class StagedPreferences final : public PreferenceDomains {
 public:
  explicit StagedPreferences(FilePreferenceDomains& domains) : domains_(domains) {}

  std::optional<PropertyValue> copy(std::string_view domain, std::string_view key) override;
  void set(std::string_view domain, std::string_view key,
           std::optional<PropertyValue> value) override;
  // Nothing is written before the commit; what is on disk stays as first read.
  bool synchronize(std::string_view) override { return true; }
  PropertyValue::Dictionary copyAll(std::string_view domain) override;
  std::vector<std::string> domains() override;

  // Writes the staged changes over what the files hold now. False when a file could not be
  // written.
  bool commit();

 private:
  using Changes = std::map<std::string, std::optional<PropertyValue>, std::less<>>;

  FilePreferenceDomains& domains_;
  std::map<std::string, Changes, std::less<>> staged_;  // by domain, then key
};

}  // namespace quayline
