#pragma once

#include <map>
#include <set>
#include <string>

#include "platform/FileManager.h"

namespace quayline {

// Files that exist only in the test: their display names and application identifiers.
class FakeFileManager final : public FileManager {
 public:
  std::string displayName(const std::string& path) override {
    auto found = names.find(path);
    if (found != names.end()) {
      return found->second;
    }
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
  }
  bool fileExists(const std::string& path) override { return existing.count(path) != 0; }
  std::optional<std::string> bundleIdentifier(const std::string& path) override {
    auto found = bundleIdentifiers.find(path);
    if (found == bundleIdentifiers.end()) {
      return std::nullopt;
    }
    return found->second;
  }

  // An installed application: it exists, has a name and an identifier.
  void addApplication(const std::string& path, const std::string& identifier,
                      const std::string& name) {
    existing.insert(path);
    bundleIdentifiers[path] = identifier;
    names[path] = name;
  }

  std::map<std::string, std::string> names;
  std::set<std::string> existing;
  std::map<std::string, std::string> bundleIdentifiers;
};

}  // namespace quayline
