#include "platform/linux/XdgApplicationDirectories.h"

#include <sys/stat.h>

#include <cstdlib>

namespace quayline::XdgApplicationDirectories {

namespace {

std::string environmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

bool isRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Looks for `id` in `directory`, trying each "-" of the id as a subfolder separator.
std::optional<std::string> findIn(const std::string& directory, std::string_view id) {
  if (const std::string direct = directory + "/" + std::string(id); isRegularFile(direct)) {
    return direct;
  }
  for (auto dash = id.find('-'); dash != std::string_view::npos; dash = id.find('-', dash + 1)) {
    const std::string subfolder = directory + "/" + std::string(id.substr(0, dash));
    if (auto found = findIn(subfolder, id.substr(dash + 1))) {
      return found;
    }
  }
  return std::nullopt;
}

}  // namespace

std::vector<std::string> all() {
  std::vector<std::string> directories;
  // The base-directory convention ignores relative values.
  if (std::string data = environmentValue("XDG_DATA_HOME"); data.starts_with('/')) {
    directories.push_back(data + "/applications");
  } else if (std::string home = environmentValue("HOME"); !home.empty()) {
    directories.push_back(home + "/.local/share/applications");
  }
  std::string dataDirs = environmentValue("XDG_DATA_DIRS");
  if (dataDirs.empty()) {
    dataDirs = "/usr/local/share:/usr/share";
  }
  std::string_view rest = dataDirs;
  while (!rest.empty()) {
    const auto colon = rest.find(':');
    const std::string_view directory = rest.substr(0, colon);
    if (directory.starts_with('/')) {
      directories.push_back(std::string(directory) + "/applications");
    }
    rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
  }
  return directories;
}

std::optional<std::string> entryPath(std::string_view desktopFileId) {
  if (!desktopFileId.ends_with(".desktop") || desktopFileId.find('/') != std::string_view::npos ||
      desktopFileId.starts_with('.')) {
    return std::nullopt;
  }
  for (const std::string& directory : all()) {
    if (auto found = findIn(directory, desktopFileId)) {
      return found;
    }
  }
  return std::nullopt;
}

}  // namespace quayline::XdgApplicationDirectories
