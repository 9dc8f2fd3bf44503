#pragma once

#include "platform/ApplicationIconNames.h"

namespace quayline {

// The "Icon" key of a .desktop entry, read through GIO.
class DesktopEntryIconNames final : public ApplicationIconNames {
 public:
  std::optional<std::string> iconName(const std::string& applicationPath) override;
};

}  // namespace quayline
