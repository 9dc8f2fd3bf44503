#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Geometry.h"
#include "foundation/Published.h"
#include "foundation/Subscription.h"
#include "platform/Accessibility.h"
#include "platform/Processes.h"
#include "windows/AppWindow.h"

namespace quayline {

class Scheduler;
class SerialQueue;
class SystemLog;
class Workspace;

// The windows of every regular application, read through accessibility on a background queue.
// Refreshed when applications launch, quit, activate, hide or unhide, when accessibility reports
// a window moved or changed its state, and every three seconds; the list is published on the main
// thread, and only when it changed.
class WindowRegistry {
 public:
  static constexpr std::string_view queueLabel = "quayline.window-registry";
  static constexpr double refreshInterval = 3.0;

  // The queue runs the enumerations; it must finish its tasks before the ports it is given here
  // go away (the composition root destroys queues before ports).
  WindowRegistry(Workspace& workspace, Accessibility& accessibility, Scheduler& scheduler,
                 SerialQueue& queue, SystemLog& log);
  ~WindowRegistry();
  WindowRegistry(const WindowRegistry&) = delete;
  WindowRegistry& operator=(const WindowRegistry&) = delete;

  // Ordered by running application (the workspace's order), then by each application's own
  // window order.
  const std::vector<AppWindow>& windows() const { return windows_.get(); }
  std::vector<AppWindow> windows(std::string_view bundleIdentifier) const;
  Subscription observeWindows(std::function<void(const std::vector<AppWindow>&)> observer) {
    return windows_.observe(std::move(observer));
  }

  bool isTrusted() const { return isTrusted_.get(); }
  Subscription observeTrusted(std::function<void(const bool&)> observer) {
    return isTrusted_.observe(std::move(observer));
  }

  // Asks for a new enumeration. Requests made while one runs fold into a single follow-up.
  void refresh();

  // An application whose windows are enumerated.
  struct Target {
    ProcessId pid;
    std::string bundleIdentifier;
  };

  // One application's listed windows. Runs on the registry's queue; safe on any thread.
  static std::vector<AppWindow> windowsOf(Accessibility& accessibility, ProcessId pid,
                                          const std::string& bundleIdentifier);
  // The listed windows of every target, in target order: the same as appending each target's
  // `windowsOf`, read in two batches (the window lists, then every window's attributes) however
  // many applications there are.
  static std::vector<AppWindow> windowsOf(Accessibility& accessibility,
                                          const std::vector<Target>& targets);

  // A window's position and size; nothing when either cannot be read.
  static std::optional<Rect> frame(Accessibility& accessibility, const AXElement& element);
  std::optional<Rect> frame(const AXElement& element) const {
    return frame(accessibility_, element);
  }

 private:
  void finish(std::vector<AppWindow> windows);
  // Publishes the list when it differs under window equality.
  void assign(std::vector<AppWindow> windows);

  Workspace& workspace_;
  Accessibility& accessibility_;
  Scheduler& scheduler_;
  SerialQueue& queue_;
  SystemLog& log_;

  Published<std::vector<AppWindow>> windows_;
  // Where each application's windows are in the list; most readers want one application's.
  std::map<std::string, std::vector<std::size_t>, std::less<>> positionsByBundle_;
  Published<bool> isTrusted_;
  bool refreshInFlight_ = false;
  bool refreshQueued_ = false;

  // Queue tasks and their replies hold this weakly: once the registry is gone an enumeration
  // that has not begun reads nothing and a result is dropped.
  struct Lifetime {};
  std::shared_ptr<Lifetime> lifetime_ = std::make_shared<Lifetime>();

  Subscription workspaceNotifications_;
  Subscription windowChanges_;
  Subscription timer_;
};

}  // namespace quayline
