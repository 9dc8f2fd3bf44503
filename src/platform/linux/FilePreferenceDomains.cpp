#include "platform/linux/FilePreferenceDomains.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "platform/linux/DomainFiles.h"
#include "platform/linux/FileAccess.h"

namespace quayline {
namespace {

// Preference files are small; anything larger is not one and is treated as unreadable.
constexpr std::size_t kMaxDomainFileSize = std::size_t{64} << 20;

void report(const std::string& message) {
  std::fprintf(stderr, "quayline: preferences: %s\n", message.c_str());
}

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::span<const std::uint8_t> bytesOf(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

FilePreferenceDomains::FilePreferenceDomains(std::filesystem::path directory)
    : directory_(std::move(directory)) {}

std::filesystem::path FilePreferenceDomains::defaultDirectory() {
  if (std::string configured = environment("QUAYLINE_PREFERENCES_DIR"); !configured.empty()) {
    return configured;
  }
  // XDG base directories must be absolute; a relative XDG_CONFIG_HOME is ignored.
  if (std::filesystem::path config = environment("XDG_CONFIG_HOME"); config.is_absolute()) {
    return config / "quayline" / "preferences";
  }
  return std::filesystem::path(environment("HOME")) / ".config" / "quayline" / "preferences";
}

std::optional<std::filesystem::path> FilePreferenceDomains::fileFor(std::string_view domain) const {
  const auto fileName = domainFileName(domain);
  if (!fileName) {
    return std::nullopt;
  }
  return directory_ / *fileName;
}

std::optional<std::string> FilePreferenceDomains::checkedFileName(std::string_view domain,
                                                                  bool forWriting) const {
  auto fileName = domainFileName(domain);
  if (!fileName && forWriting) {
    report("refusing to write the invalid domain name \"" + std::string(domain) + "\"");
  }
  return fileName;
}

FilePreferenceDomains::Stored FilePreferenceDomains::read(const std::string& fileName) const {
  FileContents contents = readWholeFile(directory_ / fileName, kMaxDomainFileSize);
  switch (contents.status) {
    case FileContents::Status::missing:
      return {};
    case FileContents::Status::failed:
      return {.state = FileState::unreadable};
    case FileContents::Status::read:
      break;
  }
  auto values = parseDomainFile(contents.bytes);
  if (!values) {
    return {.state = FileState::unreadable};
  }
  return {.state = FileState::readable, .values = std::move(*values)};
}

FilePreferenceDomains::Cached& FilePreferenceDomains::loaded(const std::string& fileName) {
  auto found = cache_.find(fileName);
  if (found == cache_.end()) {
    found = cache_.emplace(fileName, Cached{.values = read(fileName).values}).first;
  }
  return found->second;
}

bool FilePreferenceDomains::write(const std::string& fileName, Cached& cached) {
  const std::filesystem::path file = directory_ / fileName;
  std::error_code error = createDirectories(directory_, 0700);
  const DirectoryLock lock(directory_);

  // Start from what is on disk now, so that keys written by others in the meantime stay.
  const Stored stored = read(fileName);
  PropertyValue::Dictionary values = stored.values;
  for (const Change& change : cached.pending) {
    change(values);
  }
  cached.values = values;
  if (values == stored.values) {
    cached.pending.clear();  // nothing to write; an unreadable file is left as it is
    return true;
  }

  if (!error && stored.state == FileState::unreadable) {
    const std::filesystem::path kept = file.string() + ".corrupt";
    std::filesystem::rename(file, kept, error);
    if (!error) {
      report("could not read " + file.string() + "; kept it as " + kept.string());
    }
  }
  if (!error) {
    error = writeFileAtomically(file, bytesOf(encodeXmlPropertyList(PropertyValue(values))), 0600);
  }
  if (error) {
    report("could not write " + file.string() + ": " + error.message());
    return false;
  }
  cached.pending.clear();
  return true;
}

std::optional<PropertyValue> FilePreferenceDomains::copy(std::string_view domain,
                                                         std::string_view key) {
  const std::lock_guard guard(mutex_);
  const auto fileName = checkedFileName(domain, false);
  if (!fileName) {
    return std::nullopt;
  }
  const PropertyValue::Dictionary& values = loaded(*fileName).values;
  const auto found = values.find(std::string(key));
  if (found == values.end()) {
    return std::nullopt;
  }
  return found->second;
}

void FilePreferenceDomains::set(std::string_view domain, std::string_view key,
                                std::optional<PropertyValue> value) {
  const std::lock_guard guard(mutex_);
  const auto fileName = checkedFileName(domain, true);
  if (!fileName) {
    return;
  }
  Cached& cached = cache_[*fileName];
  cached.pending.push_back(
      [key = std::string(key), value = std::move(value)](PropertyValue::Dictionary& values) {
        if (value) {
          values.insert_or_assign(key, *value);
        } else {
          values.erase(key);
        }
      });
  write(*fileName, cached);
}

bool FilePreferenceDomains::synchronize(std::string_view domain) {
  const std::lock_guard guard(mutex_);
  const auto fileName = checkedFileName(domain, false);
  if (!fileName) {
    return false;
  }
  Cached& cached = cache_[*fileName];
  if (!cached.pending.empty()) {
    return write(*fileName, cached);
  }
  cached.values = read(*fileName).values;
  return true;
}

PropertyValue::Dictionary FilePreferenceDomains::copyAll(std::string_view domain) {
  const std::lock_guard guard(mutex_);
  const auto fileName = checkedFileName(domain, false);
  if (!fileName) {
    return {};
  }
  return loaded(*fileName).values;
}

std::vector<std::string> FilePreferenceDomains::domains() {
  const std::lock_guard guard(mutex_);
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(directory_, error)) {
    const std::string fileName = entry.path().filename().string();
    auto domain = domainForFileName(fileName);
    if (domain && read(fileName).state == FileState::readable) {
      names.push_back(std::move(*domain));
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool FilePreferenceDomains::replaceAll(std::string_view domain, PropertyValue::Dictionary values) {
  const std::lock_guard guard(mutex_);
  const auto fileName = checkedFileName(domain, true);
  if (!fileName) {
    return false;
  }
  Cached& cached = cache_[*fileName];
  cached.pending.clear();  // superseded
  cached.pending.push_back(
      [values = std::move(values)](PropertyValue::Dictionary& stored) { stored = values; });
  return write(*fileName, cached);
}

bool FilePreferenceDomains::removeDomain(std::string_view domain) {
  const std::lock_guard guard(mutex_);
  const auto fileName = checkedFileName(domain, true);
  if (!fileName) {
    return false;
  }
  const std::filesystem::path file = directory_ / *fileName;
  const DirectoryLock lock(directory_);
  std::error_code error;
  std::filesystem::remove(file, error);
  if (error) {
    report("could not remove " + file.string() + ": " + error.message());
    return false;
  }
  cache_[*fileName] = Cached{};
  return true;
}

FilePreferenceDomains::FileState FilePreferenceDomains::fileState(std::string_view domain) {
  const std::lock_guard guard(mutex_);
  const auto fileName = checkedFileName(domain, false);
  return fileName ? read(*fileName).state : FileState::missing;
}

}  // namespace quayline
