#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/PreferenceValues.h"
#include "foundation/Geometry.h"
#include "foundation/Subscription.h"
#include "platform/MouseTap.h"

namespace quayline {

class Displays;
class Scheduler;
class SystemLog;

// Recognises a click on the bare desktop beside either end of a dock and runs the action chosen
// for that end. The tap decides on its own thread, from a snapshot of the docks and the chosen
// actions that the main thread publishes whenever they change; the action itself runs on the
// main thread. One exists for the life of the process.
class DockEdgeClickTap {
 public:
  // One visible dock: the horizontal extent of its screen at the dock's resting height, and the
  // width of its resting frame with the height of its row (application framework space).
  struct DockGeometry {
    Rect frame;
    Size chromeSize;
    // The dock's own panel, which a click beside the dock may land on without being covered.
    std::uint64_t panelWindow = 0;
    bool operator==(const DockGeometry&) const = default;
  };

  // What the tap's thread decides from.
  struct Snapshot {
    std::vector<DockGeometry> docks;
    DockEdgeAction leading = DockEdgeAction::showDesktop;
    DockEdgeAction trailing = DockEdgeAction::missionControl;
    // The primary screen's top, which turns global coordinates (y down) into the framework's.
    double primaryMaxY = 0;
  };

  static constexpr double debounceSeconds = 0.35;

  DockEdgeClickTap(MouseTap& mouse, Displays& displays, Scheduler& scheduler, SystemLog& log);
  // Removes the tap before anything its callback reaches goes away.
  ~DockEdgeClickTap();
  DockEdgeClickTap(const DockEdgeClickTap&) = delete;
  DockEdgeClickTap& operator=(const DockEdgeClickTap&) = delete;

  std::function<std::vector<DockGeometry>()> geometry = [] { return std::vector<DockGeometry>{}; };
  std::function<DockEdgeAction()> leadingAction = [] { return DockEdgeAction::showDesktop; };
  std::function<DockEdgeAction()> trailingAction = [] { return DockEdgeAction::missionControl; };
  // Runs the action a click asked for, on the main thread.
  std::function<void(DockEdgeAction)> perform = [](DockEdgeAction) {};
  // Told on the main thread of every press the tap let through (global space, y down): a panel
  // that closes on a click outside it learns of clicks on other programs' windows this way.
  std::function<void(Point)> pressed = [](Point) {};

  // The tap is wanted; nothing is created while false.
  bool installed = false;
  int installRetries = 0;

  // Creates the tap when it is wanted and missing; on failure tries again a second later (five
  // seconds from the tenth attempt on), without end.
  void createTapIfNeeded();
  // After the dock windows were rebuilt: enables the tap again, or tries to create it at once.
  void rearm();
  bool hasTap() const { return tap_ != nullptr; }

  // Asks the providers again and hands their answers to the tap's thread. Main thread; called
  // whenever a dock, its screen or a chosen action changes.
  void publish();
  std::shared_ptr<const Snapshot> snapshot() const { return snapshot_.load(); }

  // The decision for one event: whether it is swallowed. Runs on the tap's thread.
  bool shouldSwallow(const MouseTap::Event& event);

  // Which action a point (framework space) beside a dock asks for; nothing outside every band.
  static std::optional<DockEdgeAction> bandAction(const Snapshot& snapshot, Point point);
  // Whether a click on `under` counts as one on the desktop: nothing there, the desktop's own
  // window, or a dock panel. Every other window, this program's ordinary windows included,
  // covers the desktop.
  static bool isOnlyDesktop(const Snapshot& snapshot, const std::optional<MouseTap::Window>& under);

 private:
  bool decideDown(const MouseTap::Event& event);

  MouseTap& mouse_;
  Displays& displays_;
  Scheduler& scheduler_;
  SystemLog& log_;
  std::unique_ptr<MouseTap::Tap> tap_;
  Subscription retry_;
  std::atomic<std::shared_ptr<const Snapshot>> snapshot_{std::make_shared<const Snapshot>()};
  // The tap's thread alone touches these.
  bool swallowNextUp_ = false;
  std::optional<double> lastActionAt_;
  // Work posted to the main thread checks this first.
  std::shared_ptr<char> alive_ = std::make_shared<char>();
};

}  // namespace quayline
