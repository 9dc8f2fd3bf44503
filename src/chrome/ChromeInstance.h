#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Processes.h"

namespace quayline {

// A browser instance started with its own user-data directory.
struct ChromeInstance {
  ProcessId pid = 0;
  std::string userDataDirectory;
  std::string name;
  bool operator==(const ChromeInstance&) const = default;
};

// Tells the user's main browser apart from secondary instances.
class ChromeInstances {
 public:
  virtual ~ChromeInstances() = default;
  virtual std::optional<ProcessId> mainBrowserProcessIdentifier() = 0;
  // Ordered by launch time.
  virtual std::vector<ChromeInstance> secondaryInstances() = 0;
};

}  // namespace quayline
