#pragma once

#include <optional>
#include <string>

namespace quayline {

// Where updates of the running copy come from.
class Updater {
 public:
  struct InstalledPackage {
    std::string name;
    std::string version;
    bool operator==(const InstalledPackage&) const = default;
  };
  struct Source {
    // The system package the running copy belongs to; nothing when it belongs to none.
    std::optional<InstalledPackage> package;
    // Why the package database could not tell, when it could not.
    std::optional<std::string> problem;
    bool operator==(const Source&) const = default;
  };

  virtual ~Updater() = default;
  virtual Source source() = 0;
};

}  // namespace quayline
