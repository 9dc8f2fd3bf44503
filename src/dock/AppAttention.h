#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "foundation/Published.h"
#include "foundation/Scheduler.h"
#include "foundation/Subscription.h"
#include "platform/Displays.h"
#include "platform/SystemLog.h"
#include "platform/Workspace.h"

namespace quayline {

// Follows application launches so their tiles can bounce: a launch begins with the workspace's
// will-launch notification and ends when the application has launched (or quit), never before
// the bounce has run for `minimumBounce`, and at the latest after `launchTimeout`.
class AppAttention {
 public:
  using BundleSet = std::set<std::string>;

  static constexpr double minimumBounce = 0.65;
  static constexpr double launchTimeout = 20;  // a launch must last strictly longer to expire
  static constexpr double sweepInterval = 1.0;
  static constexpr std::string_view logCategory = "attention";

  AppAttention(Workspace& workspace, Displays& displays, Scheduler& scheduler, SystemLog& log);
  AppAttention(const AppAttention&) = delete;
  AppAttention& operator=(const AppAttention&) = delete;

  // Whether the tile of `bundleIdentifier` on the dock of `display` bounces. A dock that does
  // not know its display bounces every launching tile.
  bool isLaunching(std::string_view bundleIdentifier, std::optional<DisplayNumber> display) const;

  const BundleSet& launching() const { return launching_.get(); }
  // Called after every real change of the launching set, so tiles can redraw.
  Subscription observeLaunching(std::function<void(const BundleSet&)> observer) {
    return launching_.observe(std::move(observer));
  }

  // The display a launch began on, when it is still running and one was known.
  std::optional<DisplayNumber> launchDisplay(std::string_view bundleIdentifier) const;

 private:
  void handle(const WorkspaceNotification& notification);
  void begin(const std::string& bundleIdentifier);
  void end(const std::string& bundleIdentifier);
  void finish(const std::string& bundleIdentifier, std::string_view line);
  void sweep();
  std::optional<DisplayNumber> pointerDisplay() const;
  void setLaunching(const std::string& bundleIdentifier, bool launching);

  Workspace& workspace_;
  Displays& displays_;
  Scheduler& scheduler_;
  SystemLog& log_;

  Published<BundleSet> launching_;
  // Start times are on the monotonic clock: a wall-clock change must not end or stretch a bounce.
  std::map<std::string, double, std::less<>> startedAt_;
  std::map<std::string, DisplayNumber, std::less<>> launchDisplay_;
  // One pending end per bundle; a repeated finish notification lands on the same instant.
  std::map<std::string, Subscription> deferredEnds_;
  Subscription notifications_;
  // Runs only while a launch is pending, so an idle dock has no timer waking it.
  Subscription sweepTimer_;
};

// The accessibility identifier of the marker shown over a launching tile's icon.
std::string attentionIdentifier(std::string_view bundleIdentifier);

}  // namespace quayline
