#pragma once

#include "platform/ApplicationIdentity.h"

namespace quayline {

// On Linux an application is a readable desktop entry; its bundle identifier comes from its
// desktop-file id below the XDG application folders.
class DesktopEntryApplicationIdentity final : public ApplicationIdentity {
 public:
  std::optional<std::string> bundleIdentifier(const Url& applicationURL) override;
};

}  // namespace quayline
