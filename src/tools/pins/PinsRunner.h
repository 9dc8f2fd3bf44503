#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "tools/pins/PinsCommand.h"

namespace quayline {

class FileManager;
class FileOperations;
class FilePreferenceDomains;
class Paths;

namespace pins {

// An installed application as the desktop knows it.
struct InstalledApplication {
  std::string bundleIdentifier;
  std::string path;  // its .desktop file
};

struct Services {
  FilePreferenceDomains& domains;
  // What a drop reads about a file: whether it is a folder or an installed application.
  FileOperations& files;
  FileManager& fileManager;
  Paths& paths;
  // The installed application with this id (a bundle identifier or a desktop-file id).
  std::function<std::optional<InstalledApplication>(std::string_view id)> application;
  // Relative paths are taken from here.
  std::string workingDirectory;
  std::ostream& out;
  std::ostream& err;
};

// Carries out the command on the stored pinned lists, through the same store and list rules as
// the dock. The exit status: 0 when it did what was asked, 1 otherwise, with the reason on the
// error stream and nothing written.
int run(const Command& command, Services services);

}  // namespace pins
}  // namespace quayline
