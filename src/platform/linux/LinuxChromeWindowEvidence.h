#pragma once

#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "chrome/ChromeWindowEvidence.h"
#include "foundation/Signal.h"
#include "platform/ChromeInstallation.h"
#include "platform/linux/ChromeSessionFollower.h"
#include "platform/linux/WindowLaunchFacts.h"

namespace quayline {

class Accessibility;

// A browser window's profile on Linux, where titles never name it. Three kinds of evidence,
// gathered here and judged by the session-attribution rules:
// - a window this program opened for a profile carries the startup id of that launch;
// - activating a window makes the browser append an active-window record to that profile's
//   session file a few seconds later;
// - a window's title may be the selected tab's title of exactly one profile's window.
// Evidence that disagrees, or activations whose records cannot be told apart, name nothing.
class LinuxChromeWindowEvidence final : public ChromeWindowEvidence {
 public:
  // How long an activation's record may take to land; the browser saves every 2.5 s.
  static constexpr double settleTime = 10.0;
  // Startup ids remembered from the launches that asked for a profile's window.
  static constexpr std::size_t rememberedLaunches = 64;

  struct Services {
    Scheduler& scheduler;
    SerialQueue& queue;  // where session files are read
    FolderWatch& folders;
    Accessibility& accessibility;  // the window number of a window
    WindowLaunchFacts& windows;
  };

  LinuxChromeWindowEvidence(Services services, ChromeInstallation installation);

  std::optional<std::string> profileDirectory(const AppWindow& window) override;
  void setProfiles(const std::vector<std::string>& directories) override;
  Subscription opening(const std::string& directory) override;
  Subscription observe(std::function<void()> changed) override {
    return changed_.connect(std::move(changed));
  }

 private:
  struct Activation {
    std::uint32_t window = 0;
    ChromeSessionFollower::Snapshot before;
    double at = 0;
  };

  void handle(const WindowLaunchFacts::Event& event);
  void activated(std::uint32_t window, ProcessId application);
  void sessionsChanged();
  // Records that may still land for an activation that is not followed: none can be trusted
  // until they have.
  void unsettle(double now);

  Services services_;
  ChromeInstallation installation_;
  ChromeSessionFollower sessions_;
  std::optional<std::string> opening_;
  std::map<std::string, std::string> profileOfStartupId_;
  std::deque<std::string> startupIds_;                     // oldest first, to bound the map
  std::map<std::uint32_t, std::string> activatedProfile_;  // window number → profile
  std::set<ProcessId> browserApplications_;                // learned from the windows asked of
  std::optional<Activation> pending_;
  // The selected tabs' titles of each profile, as last told to observers.
  std::map<std::string, std::map<std::int32_t, std::string>> titles_;
  double unsettledUntil_ = 0;
  Signal<> changed_;
  Subscription windowEvents_;
  Subscription sessionChanges_;
};

}  // namespace quayline
