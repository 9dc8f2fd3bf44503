#include "platform/linux/ChromeInstallationLocator.h"

#include <cstdlib>
#include <filesystem>

namespace quayline {
namespace {

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

}  // namespace

ChromeInstallation locateChromeInstallation(const std::optional<std::string>& desktopFilePath,
                                            const std::string& homeDirectory) {
  std::string base = environment("CHROME_CONFIG_HOME");
  if (base.empty() || base.front() != '/') {
    base = environment("XDG_CONFIG_HOME");
  }
  if (base.empty() || base.front() != '/') {
    base = homeDirectory + "/.config";
  }
  // Without an installed entry, Chromium is what Debian offers.
  const bool chrome =
      desktopFilePath &&
      std::filesystem::path(*desktopFilePath).filename().string().find("google-chrome") !=
          std::string::npos;
  if (chrome) {
    return {base + "/google-chrome", "Google Chrome"};
  }
  return {base + "/chromium", "Chromium"};
}

}  // namespace quayline
