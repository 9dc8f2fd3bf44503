#pragma once

#include "platform/FileManager.h"

namespace quayline {

// The file manager's view of paths on a freedesktop system: an application path is its
// .desktop entry, named by the entry's localized Name and identified by its desktop-file id.
class GioFileManager final : public FileManager {
 public:
  std::string displayName(const std::string& path) override;
  bool fileExists(const std::string& path) override;
  std::optional<std::string> bundleIdentifier(const std::string& applicationPath) override;
};

}  // namespace quayline
