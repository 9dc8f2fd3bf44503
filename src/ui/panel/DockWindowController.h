#pragma once

#include <QPoint>
#include <functional>
#include <memory>

#include "app/DockWindowList.h"
#include "dock/DockFrame.h"
#include "dock/DockLayout.h"
#include "foundation/Subscription.h"
#include "platform/Displays.h"

namespace quayline {

class ChromeProfiles;
class DistributedNotifications;
class DockPanel;
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
  DockViewContext& viewContext;
  // A secondary click on the empty glass, at this global position.
  std::function<void(QPoint)> glassMenuRequested;
};

// One dock window on one screen: sizes and places its panel from the tiles of that screen and
// the system dock's tile size, and redraws the row only when what it shows changed.
class DockWindowController final : public DockWindow {
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
  void setAutoHidden(bool hidden, bool animated);

  const Rect& restingFrame() const { return state_.restingFrame(); }
  const Rect& currentBaseFrame() const { return state_.currentBaseFrame(); }
  bool isAutoHidden() const { return state_.isAutoHidden(); }
  bool suppressed() const { return state_.suppressed; }
  void setSuppressed(bool suppressed) { state_.suppressed = suppressed; }
  const DockLayout& layout() const { return layout_; }
  DockPanel& panel() { return *panel_; }

 private:
  void observePreferences();
  void refreshBackdrop();

  Screen screen_;
  DockWindowServices& services_;
  DockView* view_ = nullptr;  // owned by the panel
  std::unique_ptr<DockPanel> panel_;
  DockWindowState state_;
  DockLayout layout_;
  bool observesDockPreferences_ = false;

  Subscription tiles_;
  Subscription windows_;
  Subscription profiles_;
  Subscription screens_;
  Subscription preferences_;
  Subscription dockPreferences_;
  Subscription compositing_;
  Subscription background_;
};

}  // namespace quayline
