#pragma once

#include <optional>
#include <string>

#include "foundation/Url.h"

namespace quayline {

// Which application lives at a location on disk.
class ApplicationIdentity {
 public:
  virtual ~ApplicationIdentity() = default;
  // Opens the application at this URL and takes its bundle identifier; nothing when the location
  // is not an application (a folder, a missing file, any other document).
  virtual std::optional<std::string> bundleIdentifier(const Url& applicationURL) = 0;
};

}  // namespace quayline
