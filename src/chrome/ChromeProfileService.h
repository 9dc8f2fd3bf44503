#pragma once

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "chrome/ChromeProfiles.h"
#include "foundation/Published.h"
#include "foundation/Subscription.h"
#include "platform/ChromeInstallation.h"

namespace quayline {

class ChromeAvatarImages;

class ChromeInstances;
class ChromeWindowEvidence;
class FolderWatch;
class Scheduler;
class SerialQueue;
class WindowRegistry;
class Workspace;

// The profiles of the user's main browser, read from its "Local State" file, and which of its
// windows belongs to which profile.
class ChromeProfileService final : public ChromeProfiles {
 public:
  static constexpr double reloadDelay = 0.3;  // seconds after the last change of the file
  static constexpr std::string_view queueLabel = "quayline.chrome-profiles";

  struct Services {
    Scheduler& scheduler;
    // Where "Local State" is parsed: a large file takes tens of milliseconds.
    SerialQueue& queue;
    Workspace& workspace;
    WindowRegistry& registry;
    ChromeInstances& instances;
    FolderWatch& folders;
    // What the platform knows of a window's profile beyond its title.
    ChromeWindowEvidence& evidence;
  };

  ChromeProfileService(Services services, ChromeInstallation installation);
  ~ChromeProfileService() override;
  ChromeProfileService(const ChromeProfileService&) = delete;
  ChromeProfileService& operator=(const ChromeProfileService&) = delete;

  const std::vector<ChromeProfile>& profiles() const override { return profiles_.get(); }
  const std::set<std::string>& collisions() const { return collisions_.get(); }
  std::optional<ChromeProfile> profile(const std::string& directory) const override;
  std::vector<std::string> liveProfileDirectories() override;
  std::vector<AppWindow> unattributedWindows() override;
  std::vector<AppWindow> windows(const std::string& directory) override;
  bool hasLiveWindows(const std::string& directory) override;
  std::optional<AppWindow> preferredWindow(const std::string& directory) override;
  void openNewWindow(const std::string& directory) override;
  std::optional<ChromeAvatar> avatarImage(const std::string& directory) override;
  // Where the profiles' pictures come from; none draws every profile with its initial.
  void setAvatars(ChromeAvatarImages* avatars) { avatars_ = avatars; }
  Subscription observeProfiles(std::function<void()> observer) override;
  std::string productName() const override { return installation_.productName; }

  // The main browser's windows that can belong to a profile: titled, not the sign-in window.
  std::vector<AppWindow> chromeWindows();
  std::optional<std::string> profileDirectory(const AppWindow& window) const;
  std::optional<std::string> profileDirectory(std::string_view windowTitle) const;

  const ChromeInstallation& installation() const { return installation_; }

 private:
  void reload();
  void scheduleReload();
  void watchFolder();
  void apply(std::optional<std::vector<ChromeProfile>> read, bool fileExists);
  std::map<std::string, std::vector<AppWindow>> attributedWindows(
      std::vector<AppWindow>* unattributed);

  Services services_;
  ChromeInstallation installation_;
  ChromeAvatarImages* avatars_ = nullptr;
  Published<std::vector<ChromeProfile>> profiles_;
  Published<std::set<std::string>> collisions_;
  std::map<std::string, ChromeProfile> profilesByDirectory_;
  std::map<std::string, std::string> directoryByLabel_;
  std::vector<std::string> knownLabels_;
  // Shared with parses in flight, so a result that lands after the service is gone is dropped.
  std::shared_ptr<ChromeProfileService*> self_;
  unsigned generation_ = 0;
  Subscription folderWatch_;
  Subscription pendingReload_;
  Subscription launches_;
};

}  // namespace quayline
