#pragma once

#include <optional>
#include <string>
#include <vector>

#include "chrome/ChromeInstance.h"
#include "chrome/ChromeProfiles.h"

namespace quayline {

class WindowRegistry;
class Workspace;

// The browser before its profiles and instances are read: the first running browser process is
// the main one and there are no secondary instances. Telling instances apart by their
// command lines comes with the browser's own services.
class FirstChromeInstance final : public ChromeInstances {
 public:
  explicit FirstChromeInstance(Workspace& workspace) : workspace_(workspace) {}
  std::optional<ProcessId> mainBrowserProcessIdentifier() override;
  std::vector<ChromeInstance> secondaryInstances() override { return {}; }

 private:
  Workspace& workspace_;
};

// No profile is known, so every browser window belongs to none: the browser keeps one plain
// tile, which is how a browser without readable profile data is shown anyway.
class ProfilelessChrome final : public ChromeProfiles {
 public:
  explicit ProfilelessChrome(WindowRegistry& registry) : registry_(registry) {}
  const std::vector<ChromeProfile>& profiles() const override { return none_; }
  std::optional<ChromeProfile> profile(const std::string&) const override { return std::nullopt; }
  std::vector<std::string> liveProfileDirectories() override { return {}; }
  std::vector<AppWindow> unattributedWindows() override;
  std::optional<ChromeAvatar> avatarImage(const std::string&) override { return std::nullopt; }
  Subscription observeProfiles(std::function<void()>) override { return {}; }

 private:
  WindowRegistry& registry_;
  std::vector<ChromeProfile> none_;
};

}  // namespace quayline
