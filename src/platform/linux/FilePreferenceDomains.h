#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PreferenceDomains.h"

namespace quayline {

// Preference domains as property-list files in one directory, one file per domain (see
// DomainFiles.h for the names). Reads are cached per domain until `synchronize`; every `set`
// re-reads the file, applies the change and replaces the whole file atomically, so values
// another process wrote meanwhile survive. A file that cannot be read counts as an empty domain
// and stays untouched until a value is set; then it is kept as "<file>.corrupt" beside the new
// one. Safe to use from several threads.
class FilePreferenceDomains final : public PreferenceDomains {
 public:
  enum class FileState { missing, readable, unreadable };

  explicit FilePreferenceDomains(std::filesystem::path directory);

  // $QUAYLINE_PREFERENCES_DIR when set, else $XDG_CONFIG_HOME/quayline/preferences, else
  // $HOME/.config/quayline/preferences.
  static std::filesystem::path defaultDirectory();

  const std::filesystem::path& directory() const { return directory_; }

  std::optional<PropertyValue> copy(std::string_view domain, std::string_view key) override;
  void set(std::string_view domain, std::string_view key,
           std::optional<PropertyValue> value) override;
  bool synchronize(std::string_view domain) override;
  PropertyValue::Dictionary copyAll(std::string_view domain) override;
  // Every domain whose file holds a readable dictionary, sorted by name.
  std::vector<std::string> domains() override;

  // Replaces all values of the domain at once. False when it could not be written.
  bool replaceAll(std::string_view domain, PropertyValue::Dictionary values);
  // Deletes the domain's file. False when the name is invalid or the file stays.
  bool removeDomain(std::string_view domain);
  // The state of the domain's file as it is on disk now.
  FileState fileState(std::string_view domain);
  // The file that holds the domain, or nothing for an invalid domain name.
  std::optional<std::filesystem::path> fileFor(std::string_view domain) const;

 private:
  using Change = std::function<void(PropertyValue::Dictionary&)>;
  struct Stored {
    FileState state = FileState::missing;
    PropertyValue::Dictionary values;
  };
  struct Cached {
    PropertyValue::Dictionary values;
    // Changes not yet on disk because writing failed; applied again at the next write.
    std::vector<Change> pending;
  };

  Stored read(const std::string& fileName) const;
  Cached& loaded(const std::string& fileName);
  bool write(const std::string& fileName, Cached& cached);
  std::optional<std::string> checkedFileName(std::string_view domain, bool forWriting) const;

  const std::filesystem::path directory_;
  std::mutex mutex_;
  std::map<std::string, Cached> cache_;  // by file name, so aliases of a domain share it
};

}  // namespace quayline
