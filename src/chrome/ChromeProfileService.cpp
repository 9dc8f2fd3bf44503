#include "chrome/ChromeProfileService.h"

#include <filesystem>

#include "chrome/ChromeAvatarImages.h"
#include "chrome/ChromeInstance.h"
#include "chrome/ChromeProfileLabels.h"
#include "chrome/ChromeWindowEvidence.h"
#include "chrome/LocalStateFile.h"
#include "foundation/Scheduler.h"
#include "foundation/SerialQueue.h"
#include "foundation/Text.h"
#include "model/Tile.h"
#include "platform/FolderWatch.h"
#include "platform/Workspace.h"
#include "windows/WindowRegistry.h"

namespace quayline {
namespace {

constexpr const char* kLocalState = "Local State";

bool isSigningIn(const std::string& title) {
  return title == "Signing you in\u2026" || title == "Signing you in...";
}

}  // namespace

ChromeProfileService::ChromeProfileService(Services services, ChromeInstallation installation)
    : services_(services),
      installation_(std::move(installation)),
      self_(std::make_shared<ChromeProfileService*>(this)) {
  reload();
  launches_ = services_.workspace.observe([this](const WorkspaceNotification& notification) {
    if (notification.kind == WorkspaceNotification::Kind::didLaunchApplication &&
        notification.application &&
        notification.application->bundleIdentifier == kChromeBundleIdentifier) {
      // The browser creates its folder on a first run, and may have replaced it since.
      watchFolder();
      scheduleReload();
    }
  });
}

ChromeProfileService::~ChromeProfileService() {
  *self_ = nullptr;
}

void ChromeProfileService::watchFolder() {
  folderWatch_ =
      services_.folders.watch(installation_.supportDirectory, [this](const std::string& entry) {
        if (entry == kLocalState) {
          scheduleReload();
        }
      });
}

void ChromeProfileService::scheduleReload() {
  pendingReload_ = services_.scheduler.after(Scheduler::Seconds(reloadDelay), [this] { reload(); });
}

void ChromeProfileService::reload() {
  pendingReload_.reset();
  if (!folderWatch_.active()) {
    watchFolder();
  }
  const unsigned generation = ++generation_;
  const std::filesystem::path support = installation_.supportDirectory;
  services_.queue.async([support, generation, self = self_, &scheduler = services_.scheduler] {
    auto read = local_state::read(support / kLocalState, support);
    std::error_code error;
    const bool exists = std::filesystem::exists(support / kLocalState, error);
    scheduler.post([self, generation, read = std::move(read), exists]() mutable {
      // Only the newest read counts: an older one may have caught an older file.
      if (*self != nullptr && (*self)->generation_ == generation) {
        (*self)->apply(std::move(read), exists);
      }
    });
  });
}

std::optional<ChromeAvatar> ChromeProfileService::avatarImage(const std::string& directory) {
  const auto found = profilesByDirectory_.find(directory);
  if (avatars_ == nullptr || found == profilesByDirectory_.end()) {
    return std::nullopt;
  }
  return avatars_->image(found->second);
}

void ChromeProfileService::apply(std::optional<std::vector<ChromeProfile>> read, bool fileExists) {
  if (avatars_ != nullptr) {
    avatars_->forget();  // a picture may have changed with the profiles
  }
  if (!read && fileExists) {
    // Caught mid-write, or damaged: the last good profiles stay until a readable one lands.
    return;
  }
  auto profiles = read ? std::move(*read) : std::vector<ChromeProfile>{};
  auto labels = chrome_labels::labelMap(profiles);
  profilesByDirectory_.clear();
  for (const auto& profile : profiles) {
    profilesByDirectory_.emplace(profile.directory, profile);
  }
  directoryByLabel_ = std::move(labels.byLabel);
  knownLabels_.clear();
  for (const auto& entry : directoryByLabel_) {
    knownLabels_.push_back(entry.first);
  }
  collisions_.set(std::move(labels.collisions));
  std::vector<std::string> directories;
  for (const auto& profile : profiles) {
    directories.push_back(profile.directory);
  }
  services_.evidence.setProfiles(directories);
  profiles_.set(std::move(profiles));
}

Subscription ChromeProfileService::observeProfiles(std::function<void()> observer) {
  auto shared = std::make_shared<std::function<void()>>(std::move(observer));
  auto profiles = profiles_.observe([shared](const std::vector<ChromeProfile>&) { (*shared)(); });
  // New evidence moves windows between profiles as a reload would.
  auto evidence = services_.evidence.observe([shared] { (*shared)(); });
  return Subscription([profiles = std::make_shared<Subscription>(std::move(profiles)),
                       evidence = std::make_shared<Subscription>(std::move(evidence))] {
    profiles->reset();
    evidence->reset();
  });
}

std::optional<ChromeProfile> ChromeProfileService::profile(const std::string& directory) const {
  const auto found = profilesByDirectory_.find(directory);
  return found == profilesByDirectory_.end() ? std::nullopt : std::optional(found->second);
}

std::optional<std::string> ChromeProfileService::profileDirectory(
    std::string_view windowTitle) const {
  if (auto label = chrome_labels::profileLabel(windowTitle, installation_.productName)) {
    if (auto found = directoryByLabel_.find(*label); found != directoryByLabel_.end()) {
      return found->second;
    }
  }
  if (auto label = chrome_labels::trailingProfileLabel(windowTitle, knownLabels_)) {
    if (auto found = directoryByLabel_.find(*label); found != directoryByLabel_.end()) {
      return found->second;
    }
  }
  return std::nullopt;
}

std::optional<std::string> ChromeProfileService::profileDirectory(const AppWindow& window) const {
  if (auto directory = profileDirectory(window.title)) {
    return directory;
  }
  // Evidence may name a profile the browser has since removed: such a window stays unclaimed.
  auto directory = services_.evidence.profileDirectory(window);
  if (directory && profilesByDirectory_.contains(*directory)) {
    return directory;
  }
  return std::nullopt;
}

std::vector<AppWindow> ChromeProfileService::chromeWindows() {
  // Without the main browser, the windows are a secondary instance's: none are the user's.
  const auto main = services_.instances.mainBrowserProcessIdentifier();
  if (!main) {
    return {};
  }
  std::vector<AppWindow> result;
  for (auto& window : services_.registry.windows(kChromeBundleIdentifier)) {
    const auto title = text::trimmed(window.title);
    if (!title.empty() && !isSigningIn(title) && window.pid == *main) {
      result.push_back(std::move(window));
    }
  }
  return result;
}

std::map<std::string, std::vector<AppWindow>> ChromeProfileService::attributedWindows(
    std::vector<AppWindow>* unattributed) {
  std::map<std::string, std::vector<AppWindow>> result;
  for (auto& window : chromeWindows()) {
    if (auto directory = profileDirectory(window)) {
      result[*directory].push_back(std::move(window));
    } else if (unattributed != nullptr) {
      unattributed->push_back(std::move(window));
    }
  }
  return result;
}

std::vector<AppWindow> ChromeProfileService::windows(const std::string& directory) {
  auto all = attributedWindows(nullptr);
  auto found = all.find(directory);
  return found == all.end() ? std::vector<AppWindow>{} : std::move(found->second);
}

bool ChromeProfileService::hasLiveWindows(const std::string& directory) {
  return !windows(directory).empty();
}

std::vector<std::string> ChromeProfileService::liveProfileDirectories() {
  const auto all = attributedWindows(nullptr);
  std::vector<std::string> result;
  for (const auto& profile : profiles_.get()) {
    if (all.contains(profile.directory)) {
      result.push_back(profile.directory);
    }
  }
  return result;
}

std::vector<AppWindow> ChromeProfileService::unattributedWindows() {
  std::vector<AppWindow> result;
  attributedWindows(&result);
  return result;
}

std::optional<AppWindow> ChromeProfileService::preferredWindow(const std::string& directory) {
  const auto candidates = windows(directory);
  for (const auto& window : candidates) {
    if (window.isMain && !window.isMinimized) {
      return window;
    }
  }
  for (const auto& window : candidates) {
    if (!window.isMinimized) {
      return window;
    }
  }
  return candidates.empty() ? std::nullopt : std::optional(candidates.front());
}

void ChromeProfileService::openNewWindow(const std::string& directory) {
  // The browser turns an unknown directory into a new, empty profile.
  if (!profilesByDirectory_.contains(directory)) {
    return;
  }
  if (const auto url = services_.workspace.urlForApplication(kChromeBundleIdentifier)) {
    const Subscription opening = services_.evidence.opening(directory);
    services_.workspace.openApplication(*url, {"--profile-directory=" + directory});
  }
}

}  // namespace quayline
