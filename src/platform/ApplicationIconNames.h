#pragma once

#include <optional>
#include <string>

namespace quayline {

// The icon an installed application names for itself.
class ApplicationIconNames {
 public:
  virtual ~ApplicationIconNames() = default;
  // The icon of the application at the path: a name in the icon theme or an absolute image
  // path; none when the application names no icon or cannot be read.
  virtual std::optional<std::string> iconName(const std::string& applicationPath) = 0;
};

}  // namespace quayline
