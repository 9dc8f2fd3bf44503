#pragma once

#include <QPointer>
#include <memory>

#include "foundation/Subscription.h"
#include "ui/settings/SettingsForm.h"
#include "ui/settings/SettingsServices.h"

class QButtonGroup;
class QCheckBox;
class QColorDialog;
class QLabel;
class QPushButton;
class QSlider;

namespace quayline {

class DockEdgeActionMenu;

// The General pane: appearance, layout, the dock's end actions, startup and the advanced
// settings. Controls write only when the user works them.
class GeneralPane final : public SettingsPage {
 public:
  explicit GeneralPane(SettingsServices& services);
  ~GeneralPane() override;

  void refresh() override;
  // The section the status menu's "Dock Actions…" leads to.
  QWidget* dockActionsSection() const { return dockActions_->group(); }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void buildAppearance();
  void buildLayout();
  void buildDockActions();
  void buildStartup();
  void buildAdvanced();
  void refreshTileSize();
  void refreshIconStyle();
  void pickTint();

  SettingsServices& s_;
  std::unique_ptr<SettingsSection> appearance_;
  std::unique_ptr<SettingsSection> layout_;
  std::unique_ptr<SettingsSection> dockActions_;
  std::unique_ptr<SettingsSection> startup_;
  std::unique_ptr<SettingsSection> advanced_;

  QButtonGroup* appearanceMode_ = nullptr;
  QCheckBox* magnification_ = nullptr;
  QPushButton* iconStyleButton_ = nullptr;
  QLabel* iconStyleHint_ = nullptr;
  QCheckBox* customTint_ = nullptr;
  QPushButton* tintColor_ = nullptr;
  QPointer<QColorDialog> tintDialog_;
  QSlider* tileSize_ = nullptr;
  QComboBox* displayTarget_ = nullptr;
  QComboBox* runningApps_ = nullptr;
  DockEdgeActionMenu* leadingAction_ = nullptr;
  DockEdgeActionMenu* trailingAction_ = nullptr;
  QCheckBox* opensAtLogin_ = nullptr;
  QCheckBox* advancedShown_ = nullptr;
  QCheckBox* autohide_ = nullptr;
  QComboBox* maximized_ = nullptr;
  Subscription tileSizeChanged_;
};

}  // namespace quayline
