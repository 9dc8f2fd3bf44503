#pragma once

#include <string>

namespace quayline {

// Where the installed browser keeps its user data, and the name it puts in window titles.
struct ChromeInstallation {
  std::string supportDirectory;  // the default user-data directory
  std::string productName;       // "Google Chrome", "Chromium"

  bool operator==(const ChromeInstallation&) const = default;
};

}  // namespace quayline
