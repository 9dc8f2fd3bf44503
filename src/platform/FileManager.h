#pragma once

#include <optional>
#include <string>

namespace quayline {

// What the file manager knows about paths: how it names them, whether they exist, and which
// application an application path stands for.
class FileManager {
 public:
  virtual ~FileManager() = default;

  // The name the file manager shows for the path: an application's own localized name, a
  // folder's name. Falls back to the last path component.
  virtual std::string displayName(const std::string& path) = 0;

  virtual bool fileExists(const std::string& path) = 0;

  // The bundle identifier of the application at the path, when it is an application.
  virtual std::optional<std::string> bundleIdentifier(const std::string& applicationPath) = 0;
};

}  // namespace quayline
