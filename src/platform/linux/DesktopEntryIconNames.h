#pragma once

#include "platform/ApplicationIconNames.h"

namespace quayline {

// The "Icon" key of a .desktop entry, read through GIO.
class DesktopEntryIconNames final : public ApplicationIconNames {
 public:
  std::optional<std::string> iconName(const std::string& applicationPath) override;
  std::optional<std::string> standInIconName(std::string_view bundleIdentifier) override;
};

}  // namespace quayline
