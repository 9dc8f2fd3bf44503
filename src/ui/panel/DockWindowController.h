#pragma once

#include <QPoint>
#include <functional>
#include <memory>

#include "app/DockWindowList.h"
#include "dock/AutoHidingDock.h"
#include "dock/DockDragController.h"
#include "dock/DockFrame.h"
#include "dock/DockLayout.h"
#include "dock/DockMagnification.h"
#include "foundation/Subscription.h"
#include "platform/Displays.h"
#include "windows/ReservingDock.h"

namespace quayline {

class ChromeProfiles;
class DistributedNotifications;
class DockPanel;
class MenuTracking;
class PointerTracking;
class Scheduler;
class DockView;
class PanelWindowing;
class PreferenceDomains;
class Preferences;
class TileStore;
class WindowRegistry;
struct DockViewContext;

// What every dock window draws from and reports to; the composition root owns all of it.
struct DockWindowServices {
  TileStore& store;
  Preferences& preferences;
  PreferenceDomains& domains;
  Displays& displays;
  WindowRegistry& registry;
  ChromeProfiles& chromeProfiles;
  DistributedNotifications& notifications;
  PanelWindowing& windowing;
  Scheduler& scheduler;
  MenuTracking& menus;
  DockViewContext& viewContext;
  // A secondary click on the empty glass, at this global position.
  std::function<void(QPoint)> glassMenuRequested;
};

// One dock window on one screen: sizes and places its panel from the tiles of that screen and
// the system dock's tile size, and redraws the row only when what it shows changed.
class DockWindowController final : public DockWindow, public AutoHidingDock, public ReservingDock {
 public:
  DockWindowController(const Screen& screen, DockWindowServices& services);
  ~DockWindowController() override;
  DockWindowController(const DockWindowController&) = delete;
  DockWindowController& operator=(const DockWindowController&) = delete;

  const Screen& screen() const override { return screen_; }
  void moveToScreen(const Screen& screen) override;
  void show() override;
  void retire() override;

  void applyFrame();
  // Moves the window out of sight (all but one point) or back.
  void setAutoHidden(bool hidden, bool animated) override;

  const Rect& restingFrame() const override { return state_.restingFrame(); }
  const Rect& currentBaseFrame() const { return state_.currentBaseFrame(); }
  bool isAutoHidden() const override { return state_.isAutoHidden(); }
  bool suppressed() const override { return state_.suppressed; }
  // Orders the panel out while a maximized window covers the dock, and back after.
  void setSuppressed(bool suppressed) override;
  const DockLayout& layout() const { return layout_; }
  DockPanel& panel() { return *panel_; }
  DockMagnification& magnification() { return magnification_; }

 private:
  void observePreferences();
  void refreshBackdrop();
  // Without a compositor the panel is cut to what it shows.
  void reshape();
  void orderFrontUnlessSuppressed();
  void applyMagnificationInputs(const std::vector<Tile>& tiles, const DockLayout& layout);

  Screen screen_;
  DockWindowServices& services_;
  // Outlives the panel, whose row view follows it.
  DockDragController drag_;
  DockView* view_ = nullptr;  // owned by the panel
  std::unique_ptr<DockPanel> panel_;
  DockWindowState state_;
  DockLayout layout_;
  DockMagnification magnification_;
  PointerTracking* tracking_ = nullptr;  // owned by the panel's native window
  bool observesDockPreferences_ = false;

  Subscription tiles_;
  Subscription windows_;
  Subscription profiles_;
  Subscription screens_;
  Subscription preferences_;
  Subscription dockPreferences_;
  Subscription compositing_;
  Subscription background_;
  Subscription magnifiedRow_;
  Subscription dragSession_;
};

}  // namespace quayline
