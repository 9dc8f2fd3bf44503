#pragma once

#include <filesystem>

#include "platform/ApplicationBundle.h"

namespace quayline {

// The installed program: <prefix>/bin/<program>, its information dictionary at
// <prefix>/share/quayline/Info.plist and its helpers in <prefix>/libexec/quayline/. The build
// tree's stage folder has the same layout.
class InstalledBundle final : public ApplicationBundle {
 public:
  // The prefix of the running executable.
  InstalledBundle();
  explicit InstalledBundle(std::filesystem::path prefix);

  // A missing or unreadable information dictionary has no values.
  std::optional<PropertyValue> infoValue(std::string_view key) override;
  std::optional<std::string> auxiliaryExecutable(std::string_view name) override;

  const std::filesystem::path& prefix() const { return prefix_; }

 private:
  std::filesystem::path prefix_;
  std::optional<PropertyValue::Dictionary> info_;  // read on first use
};

}  // namespace quayline
