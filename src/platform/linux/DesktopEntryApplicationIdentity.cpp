#include "platform/linux/DesktopEntryApplicationIdentity.h"

#include <sys/stat.h>
#include <unistd.h>

#include "platform/linux/DesktopEntryIdentity.h"
#include "platform/linux/XdgApplicationDirectories.h"

namespace quayline {

std::optional<std::string> DesktopEntryApplicationIdentity::bundleIdentifier(
    const Url& applicationURL) {
  if (!applicationURL.isFileURL()) {
    return std::nullopt;
  }
  const std::string path = applicationURL.path();
  struct stat info {};
  if (!path.ends_with(".desktop") || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
      ::access(path.c_str(), R_OK) != 0) {
    return std::nullopt;
  }
  return DesktopEntryIdentity::bundleIdentifier(
      DesktopEntryIdentity::desktopFileId(path, XdgApplicationDirectories::all()));
}

}  // namespace quayline
