#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "chrome/ChromeProfiles.h"
#include "foundation/Signal.h"

namespace quayline {

// The browser's profiles, which of them have windows and the windows no profile claims, all set
// by the test. `setProfiles` tells observers, as a reload of the profile list would; the other
// answers change silently, the way window attribution does between reloads. Counts how often the
// unattributed windows are asked for.
class FakeChromeProfiles final : public ChromeProfiles {
 public:
  const std::vector<ChromeProfile>& profiles() const override { return profiles_; }
  std::optional<ChromeProfile> profile(const std::string& directory) const override {
    for (const auto& candidate : profiles_) {
      if (candidate.directory == directory) {
        return candidate;
      }
    }
    return std::nullopt;
  }
  std::vector<std::string> liveProfileDirectories() override { return live; }
  std::vector<AppWindow> unattributedWindows() override { return unattributed; }
  std::optional<ChromeAvatar> avatarImage(const std::string& directory) override {
    const auto found = avatars.find(directory);
    return found == avatars.end() ? std::nullopt : std::optional(found->second);
  }
  std::vector<AppWindow> windows(const std::string& directory) override {
    const auto found = windowsByProfile.find(directory);
    return found == windowsByProfile.end() ? std::vector<AppWindow>{} : found->second;
  }
  bool hasLiveWindows(const std::string& directory) override { return !windows(directory).empty(); }
  std::optional<AppWindow> preferredWindow(const std::string& directory) override {
    const auto all = windows(directory);
    return all.empty() ? std::nullopt : std::optional(all.front());
  }
  void openNewWindow(const std::string& directory) override { openedFor.push_back(directory); }
  std::string productName() const override { return product; }
  Subscription observeProfiles(std::function<void()> observer) override {
    return changed_.connect([observer = std::move(observer)] { observer(); });
  }

  void setProfiles(std::vector<ChromeProfile> profiles) {
    if (profiles == profiles_) {
      return;
    }
    profiles_ = std::move(profiles);
    changed_.emit();
  }

  // A profile named after its directory, as most tests need.
  static ChromeProfile named(const std::string& directory, const std::string& name) {
    ChromeProfile profile;
    profile.directory = directory;
    profile.name = name;
    return profile;
  }

  std::vector<std::string> live;
  std::vector<AppWindow> unattributed;
  std::map<std::string, ChromeAvatar> avatars;
  std::map<std::string, std::vector<AppWindow>> windowsByProfile;
  std::string product = "Google Chrome";
  std::vector<std::string> openedFor;  // profiles a new window was asked for, in order

 private:
  std::vector<ChromeProfile> profiles_;
  Signal<> changed_;
};

}  // namespace quayline
