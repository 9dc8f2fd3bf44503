#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quayline {

// The icon an installed application names for itself.
class ApplicationIconNames {
 public:
  virtual ~ApplicationIconNames() = default;
  // The icon of the application at the path: a name in the icon theme or an absolute image
  // path; none when the application names no icon or cannot be read.
  virtual std::optional<std::string> iconName(const std::string& applicationPath) = 0;
  // A theme icon that stands for an application this desktop does not have installed, where the
  // platform names one (the file manager's for the Finder).
  virtual std::optional<std::string> standInIconName(std::string_view bundleIdentifier) = 0;
};

}  // namespace quayline
