#pragma once

#include <optional>
#include <string>

#include "platform/ChromeInstallation.h"

namespace quayline {

// Chromium or Google Chrome, by the desktop entry the workspace names the browser with, and its
// data under $CHROME_CONFIG_HOME, else $XDG_CONFIG_HOME, else ~/.config.
ChromeInstallation locateChromeInstallation(const std::optional<std::string>& desktopFilePath,
                                            const std::string& homeDirectory);

}  // namespace quayline
