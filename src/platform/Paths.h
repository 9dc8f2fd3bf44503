#pragma once

#include <optional>
#include <string>

namespace quayline {

// Well-known folders of the current user.
class Paths {
 public:
  virtual ~Paths() = default;
  virtual std::string homeDirectory() = 0;
  // Where applications keep their support files (the data home on Linux).
  virtual std::string applicationSupportDirectory() = 0;
  // The user's Downloads folder when one is configured; it may not exist.
  virtual std::optional<std::string> downloadsDirectory() = 0;
};

}  // namespace quayline
