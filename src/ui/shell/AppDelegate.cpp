#include "ui/shell/AppDelegate.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMenu>
#include <QMessageBox>
#include <algorithm>
#include <cmath>
#include <iostream>

#include "app/Preferences.h"
#include "app/SwitcherSettings.h"
#include "dock/BadgeService.h"
#include "dock/DockAutoHide.h"
#include "dock/DockEdgeClickTap.h"
#include "dock/MenuTracking.h"
#include "switcher/WindowSwitcher.h"
#include "system/LoginItemService.h"
#include "system/SystemDockVisibility.h"
#include "system/UpdateService.h"
#include "ui/panel/DockPanel.h"
#include "ui/settings/SettingsWindowController.h"
#include "ui/shell/StatusItem.h"
#include "windows/WindowReservation.h"

namespace quayline {

namespace {

// Calls back on every change of a watched widget's place or visibility.
class PanelWatch final : public QObject {
 public:
  explicit PanelWatch(std::function<void()> changed) : changed_(std::move(changed)) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::Move:
      case QEvent::Resize:
      case QEvent::Show:
      case QEvent::Hide:
        changed_();
        break;
      default:
        break;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> changed_;
};

// Calls back once, after the first paint of a widget inside one of the given windows.
class FirstPaintWatch final : public QObject {
 public:
  FirstPaintWatch(std::vector<const QWidget*> windows, std::function<void()> painted)
      : windows_(std::move(windows)), painted_(std::move(painted)) {
    QCoreApplication::instance()->installEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (painted_ && event->type() == QEvent::Paint && watched->isWidgetType() &&
        std::ranges::find(windows_, static_cast<QWidget*>(watched)->window()) != windows_.end()) {
      QCoreApplication::instance()->removeEventFilter(this);
      std::exchange(painted_, nullptr)();
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::vector<const QWidget*> windows_;
  std::function<void()> painted_;
};

// A dock that never paints (no screen, or hidden at once) holds the rest back no longer.
constexpr Scheduler::Seconds kFirstFrameDeadline{1.0};

}  // namespace

AppDelegate::AppDelegate(Services services) : services_(std::move(services)) {}

AppDelegate::~AppDelegate() {
  // The services outlive this object; they must not reach for its windows any more.
  services_.reservation.setDocks([] { return std::vector<ReservingDock*>{}; });
  services_.autoHide.docks = [] { return std::vector<AutoHidingDock*>{}; };
  services_.edgeTap.geometry = [] { return std::vector<DockEdgeClickTap::DockGeometry>{}; };
  services_.edgeTap.publish();
}

void AppDelegate::applicationDidFinishLaunching() {
  statusItem_ = std::make_unique<StatusItem>(
      services_.preferences, [this](StatusMenu::Action action) { perform(action); });
  // The status menu is a menu like the tiles': the dock holds still while it is open.
  QObject::connect(&statusItem_->menu(), &QMenu::aboutToShow,
                   [&menus = services_.docks.menus] { menus.didBeginTracking(); });
  QObject::connect(&statusItem_->menu(), &QMenu::aboutToHide,
                   [&menus = services_.docks.menus] { menus.didEndTracking(); });
  if (!statusItem_->hasTray()) {
    // No tray to hold the status item: the dock's glass opens the same menu.
    services_.docks.glassMenuRequested = [this](QPoint position) { statusItem_->popUp(position); };
  }
  docks_ = std::make_unique<DockDisplays>(
      services_.preferences, services_.displays, services_.scheduler,
      [this](const Screen& screen) -> std::unique_ptr<DockWindow> {
        return std::make_unique<DockWindowController>(screen, services_.docks);
      });
  docks_->didRebuild = [this] {
    services_.reservation.apply();
    watchDockPanels();
    services_.edgeTap.rearm();
    services_.edgeTap.publish();
    services_.switcher.ensureEnabled();
    if (services_.autoHide.isEnabled()) {
      services_.autoHide.update(true);
    }
  };
  docks_->start();
  services_.reservation.setDocks([this] { return docks<ReservingDock>(); });
  services_.reservation.start();
  services_.autoHide.docks = [this] { return docks<AutoHidingDock>(); };
  services_.autoHide.observePreference();
  services_.autoHide.apply();

  // The rest runs once the dock has shown its first frame, in the same order: the first frame
  // does not wait for the system dock's settings and snapshot to reach the disk, the permission
  // checks, the login item, the taps and the shortcut's grabs.
  std::vector<const QWidget*> panels;
  for (DockWindowController* dock : docks<DockWindowController>()) {
    panels.push_back(&dock->panel());
  }
  const auto finish = [this] {
    firstFrameDeadline_ = {};
    // After the paint has returned, so its frame reaches the screen first.
    services_.scheduler.post([this] { finishLaunchingAfterFirstFrame(); });
  };
  firstFrame_ = std::make_unique<FirstPaintWatch>(std::move(panels), finish);
  firstFrameDeadline_ = services_.scheduler.after(kFirstFrameDeadline, [this, finish] {
    firstFrame_.reset();
    finish();
  });
}

void AppDelegate::finishLaunchingAfterFirstFrame() {
  firstFrame_.reset();
  services_.systemDock.hideAtLaunch();
  if (services_.showOnboardingIfNeeded) {
    services_.showOnboardingIfNeeded();
  }
  if (services_.loginItem) {
    services_.loginItem->syncWithPreference(services_.preferences);
  }
  configureEdgeTap();
  services_.badges.start();
  services_.switcherSettings.apply();
}

template <typename Dock>
std::vector<Dock*> AppDelegate::docks() const {
  std::vector<Dock*> result;
  for (const auto& window : dockControllers()) {
    if (auto* dock = dynamic_cast<Dock*>(window.get())) {
      result.push_back(dock);
    }
  }
  return result;
}

void AppDelegate::configureEdgeTap() {
  DockEdgeClickTap& tap = services_.edgeTap;
  tap.geometry = [this] {
    std::vector<DockEdgeClickTap::DockGeometry> result;
    for (DockWindowController* dock : docks<DockWindowController>()) {
      if (dock->isAutoHidden() || !dock->panel().isVisible()) {
        continue;
      }
      const Rect& resting = dock->restingFrame();
      const Rect& screen = dock->screen().frame;
      result.push_back({Rect(screen.minX(), resting.minY(), screen.width(), resting.height()),
                        Size{resting.width(), std::round(dock->layout().tileSize) + 14},
                        static_cast<std::uint64_t>(dock->panel().winId())});
    }
    return result;
  };
  tap.leadingAction = [this] { return services_.preferences.leadingEdgeAction(); };
  tap.trailingAction = [this] { return services_.preferences.trailingEdgeAction(); };
  tap.installed = true;
  tap.installRetries = 0;
  tap.createTapIfNeeded();
  watchDockPanels();
  observeEdgeActions();
  tap.publish();
}

void AppDelegate::observeEdgeActions() {
  edgeActions_ = services_.preferences.observeNextChange(
      {Preferences::Key::leadingEdgeAction, Preferences::Key::trailingEdgeAction}, [this] {
        observeEdgeActions();
        services_.edgeTap.publish();
      });
}

void AppDelegate::watchDockPanels() {
  if (!panelWatch_) {
    panelWatch_ = std::make_unique<PanelWatch>([this] { services_.edgeTap.publish(); });
  }
  // Installing the same filter again only moves it; retired panels go with their windows.
  for (DockWindowController* dock : docks<DockWindowController>()) {
    dock->panel().installEventFilter(panelWatch_.get());
  }
}

void AppDelegate::applicationWillTerminate() {
  services_.systemDock.restoreAtTermination();
}

const std::vector<std::unique_ptr<DockWindow>>& AppDelegate::dockControllers() const {
  static const std::vector<std::unique_ptr<DockWindow>> none;
  return docks_ ? docks_->windows() : none;
}

void AppDelegate::perform(StatusMenu::Action action) {
  switch (action) {
    case StatusMenu::Action::quit:
      services_.quit();
      return;
    case StatusMenu::Action::openDockActions:
      if (services_.settings) {
        services_.settings->showDockActions();
      }
      return;
    case StatusMenu::Action::openSettings:
      if (services_.settings) {
        services_.settings->show();
      }
      return;
    case StatusMenu::Action::checkForUpdates:
      if (services_.updates) {
        const auto report = services_.updates->checkForUpdates();
        QMessageBox box(QMessageBox::Information, QString::fromStdString(report.title),
                        QString::fromStdString(report.text));
        box.setObjectName("updateReport");
        box.exec();
      }
      return;
    default:
      return;
  }
}

}  // namespace quayline
