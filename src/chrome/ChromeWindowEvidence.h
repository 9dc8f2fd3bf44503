#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "foundation/Subscription.h"
#include "windows/AppWindow.h"

namespace quayline {

// What the platform knows of a browser window's profile beyond its title. Where the browser
// names the profile in every title, the title is evidence enough and this knows nothing.
class ChromeWindowEvidence {
 public:
  virtual ~ChromeWindowEvidence() = default;
  // The profile directory the window belongs to, only when the evidence names exactly one.
  virtual std::optional<std::string> profileDirectory(const AppWindow& window) = 0;

  // The profiles the browser has now, after every reload of its profile list.
  virtual void setProfiles(const std::vector<std::string>& directories) { (void)directories; }
  // While the handle lives, the browser is being asked for a new window in this profile: a
  // window that launch opens belongs to it.
  virtual Subscription opening(const std::string& directory) {
    (void)directory;
    return {};
  }
  // Called on the main thread when what the evidence says of some window may have changed.
  virtual Subscription observe(std::function<void()> changed) {
    (void)changed;
    return {};
  }
};

// Titles alone: the rule of platforms whose browser titles carry the profile's label.
class TitlesOnlyEvidence final : public ChromeWindowEvidence {
 public:
  std::optional<std::string> profileDirectory(const AppWindow&) override { return std::nullopt; }
};

}  // namespace quayline
