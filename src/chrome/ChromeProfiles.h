#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "chrome/ChromeAvatar.h"
#include "chrome/ChromeProfile.h"
#include "foundation/Subscription.h"
#include "windows/AppWindow.h"

namespace quayline {

// The main browser's profiles and which windows belong to them.
class ChromeProfiles {
 public:
  virtual ~ChromeProfiles() = default;
  virtual const std::vector<ChromeProfile>& profiles() const = 0;
  virtual std::optional<ChromeProfile> profile(const std::string& directory) const = 0;
  // Profiles with windows, in profile order.
  virtual std::vector<std::string> liveProfileDirectories() = 0;
  // Browser windows no profile could be found for.
  virtual std::vector<AppWindow> unattributedWindows() = 0;
  // The profile's account picture or built-in avatar; none for an unknown directory.
  virtual std::optional<ChromeAvatar> avatarImage(const std::string& directory) = 0;
  // The windows attributed to a profile, in window order.
  virtual std::vector<AppWindow> windows(const std::string& directory) = 0;
  virtual bool hasLiveWindows(const std::string& directory) = 0;
  // The window to bring forward for a profile: its main window, else one not minimized.
  virtual std::optional<AppWindow> preferredWindow(const std::string& directory) = 0;
  // Asks the browser for a new window in a known profile; other directories are ignored.
  virtual void openNewWindow(const std::string& directory) = 0;
  // What the browser is called on this system ("Google Chrome", "Chromium"), for menu items.
  virtual std::string productName() const = 0;
  // Called after every change of the profile list.
  virtual Subscription observeProfiles(std::function<void()> observer) = 0;
};

}  // namespace quayline
