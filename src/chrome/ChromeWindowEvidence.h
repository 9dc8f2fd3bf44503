#pragma once

#include <optional>
#include <string>

#include "windows/AppWindow.h"

namespace quayline {

// What the platform knows of a browser window's profile beyond its title. Where the browser
// names the profile in every title, the title is evidence enough and this knows nothing.
class ChromeWindowEvidence {
 public:
  virtual ~ChromeWindowEvidence() = default;
  // The profile directory the window belongs to, only when the evidence names exactly one.
  virtual std::optional<std::string> profileDirectory(const AppWindow& window) = 0;
};

// Titles alone: the rule of platforms whose browser titles carry the profile's label.
class TitlesOnlyEvidence final : public ChromeWindowEvidence {
 public:
  std::optional<std::string> profileDirectory(const AppWindow&) override { return std::nullopt; }
};

}  // namespace quayline
