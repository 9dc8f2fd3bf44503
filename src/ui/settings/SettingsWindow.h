#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "foundation/Subscription.h"
#include "settings/SettingsNavigation.h"
#include "ui/settings/SettingsServices.h"

class QListWidget;
class QMenuBar;
class QStackedWidget;

namespace quayline {

class SettingsPage;

// The settings window: a sidebar of panes beside the chosen pane, with the main menu on top.
// Every pane follows the settings live, whoever changes them.
class SettingsWindow final : public QWidget {
 public:
  SettingsWindow(SettingsServices& services, SettingsNavigation& navigation,
                 const PermissionsContent& permissions, std::function<void()> showSettings);
  ~SettingsWindow() override;

  QWidget& pane(SettingsPane pane) const;
  QMenuBar& mainMenu() const { return *menuBar_; }
  // Where the window is on screen now, as stored.
  void storeFrame();

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  void buildMainMenu(std::function<void()> showSettings);
  QWidget* permissionsPage(const PermissionsContent& permissions);
  void observePreferences();
  void select(SettingsPane pane);

  SettingsServices& s_;
  SettingsNavigation& navigation_;
  QMenuBar* menuBar_ = nullptr;
  QListWidget* sidebar_ = nullptr;
  QStackedWidget* panes_ = nullptr;
  std::vector<SettingsPage*> following_;  // the panes that show settings
  Subscription paneChanged_;
  Subscription preferencesChanged_;
};

}  // namespace quayline
