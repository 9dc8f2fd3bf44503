#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "app/DockDisplays.h"
#include "app/StatusMenu.h"
#include "ui/panel/DockWindowController.h"

namespace quayline {

class AppAttention;
class SettingsWindowController;
class BadgeService;
class DockEdgeClickTap;
class DockAutoHide;
class LoginItemService;
class StatusItem;
class SwitcherSettings;
class SystemDockVisibility;
class UpdateService;
class WindowReservation;
class WindowSwitcher;

// The application shell once the services exist: the status item, the dock windows on the
// chosen displays, and the system dock hidden while Quayline runs.
class AppDelegate {
 public:
  struct Services {
    Preferences& preferences;
    Displays& displays;
    Scheduler& scheduler;
    SystemDockVisibility& systemDock;
    DockWindowServices& docks;
    WindowReservation& reservation;
    DockAutoHide& autoHide;
    BadgeService& badges;
    WindowSwitcher& switcher;
    SwitcherSettings& switcherSettings;
    DockEdgeClickTap& edgeTap;
    // Ends the event loop; the caller then runs `applicationWillTerminate`.
    std::function<void()> quit;
    // The move prompt or the onboarding window, when either is needed.
    std::function<void()> showOnboardingIfNeeded;
    // Brought in line with the "open at login" setting at launch, when given.
    LoginItemService* loginItem = nullptr;
    // Answers "Check for Updates…", when given.
    UpdateService* updates = nullptr;
    // Opened by the status menu's "Settings…" and "Dock Actions…".
    SettingsWindowController* settings = nullptr;
  };

  explicit AppDelegate(Services services);
  ~AppDelegate();
  AppDelegate(const AppDelegate&) = delete;
  AppDelegate& operator=(const AppDelegate&) = delete;

  // Status item, dock windows, screen observation, hiding the system dock, then the services
  // that act on the dock windows.
  void applicationDidFinishLaunching();
  void applicationWillTerminate();

  const std::vector<std::unique_ptr<DockWindow>>& dockControllers() const;
  StatusItem& statusItem() { return *statusItem_; }

 private:
  void perform(StatusMenu::Action action);
  // The dock windows as the services that drive them see them.
  template <typename Dock>
  std::vector<Dock*> docks() const;
  // Gives the edge-click tap its providers, creates it and keeps its snapshot current.
  void configureEdgeTap();
  void observeEdgeActions();
  void watchDockPanels();
  // The launch steps the dock's first frame does not need.
  void finishLaunchingAfterFirstFrame();

  Services services_;
  std::unique_ptr<StatusItem> statusItem_;
  std::unique_ptr<DockDisplays> docks_;
  // Publishes the edge tap's snapshot when a dock panel moves, resizes, shows or hides.
  std::unique_ptr<QObject> panelWatch_;
  // Waits for the first paint in a dock panel, then runs the rest of the launch once.
  std::unique_ptr<QObject> firstFrame_;
  Subscription firstFrameDeadline_;
  Subscription edgeActions_;
};

}  // namespace quayline
