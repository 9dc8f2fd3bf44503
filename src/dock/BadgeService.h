#pragma once

#include <map>
#include <string>
#include <vector>

#include "dock/BadgeSource.h"
#include "foundation/Published.h"
#include "foundation/Scheduler.h"
#include "platform/Accessibility.h"
#include "platform/ApplicationIdentity.h"
#include "platform/Workspace.h"

namespace quayline {

// Reads the badges the system dock shows on its tiles, through its accessibility tree, and
// publishes them by bundle identifier. Polls every 2 s on the main thread once started.
// An application's badge is cleared when it stops running: not every sender clears its count
// before it ends, and a count left behind must not stay on the tile.
class BadgeService final : public BadgeSource {
 public:
  using Badges = std::map<std::string, std::string>;  // badge text by bundle identifier

  static constexpr std::string_view systemDockIdentifier = "com.apple.dock";
  static constexpr Scheduler::Seconds pollInterval{2.0};
  static constexpr int maximumDescent = 4;

  BadgeService(Workspace& workspace, Accessibility& accessibility, ApplicationIdentity& identity,
               Scheduler& scheduler);

  // Polls at once, then every 2 s. Calling it again does nothing.
  void start();

  const Badges& badges() const { return badges_.get(); }
  std::optional<std::string> badge(const std::string& bundleIdentifier) const override;
  Subscription observeBadges(std::function<void()> observer) override;

 private:
  void poll();
  void applicationEnded(const RunningApp& ended);
  // The badges to show: the reported ones, without the texts left behind by ended applications.
  Badges shown() const;
  Badges readBadges(const std::vector<RunningApp>& running);
  std::vector<AXElement> children(const AXElement& element);
  std::optional<std::string> resolve(const std::string& path);

  Workspace& workspace_;
  Accessibility& accessibility_;
  ApplicationIdentity& identity_;
  Scheduler& scheduler_;
  Published<Badges> badges_;
  std::map<std::string, std::string> bundleIDsByPath_;  // only grows: paths that resolved
  // The last read, as the system dock reports it.
  Badges reported_;
  // The badge texts applications left behind when they ended, by bundle identifier. Each stays
  // hidden until the system dock reports another text (or none) for it, or the application runs
  // again and may have sent its count anew.
  Badges leftOver_;
  Subscription timer_;
  Subscription workspaceEvents_;
};

}  // namespace quayline
