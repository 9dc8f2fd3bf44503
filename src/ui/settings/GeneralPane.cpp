#include "ui/settings/GeneralPane.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <cmath>

#include "app/Preferences.h"
#include "model/SystemDockPreferences.h"
#include "platform/DistributedNotifications.h"
#include "settings/BehaviorReset.h"
#include "settings/DockSizeSetting.h"
#include "settings/IconStyleSettings.h"
#include "settings/TintChoice.h"
#include "ui/settings/DockEdgeActionMenu.h"

namespace quayline {

namespace {

// The size slider moves in tenths of a point, so a release between two whole sizes is rounded
// by the rule rather than by the slider.
constexpr int kSizeSteps = 10;

QColor qcolor(const TintColor& tint) {
  return QColor::fromRgbF(static_cast<float>(tint.red), static_cast<float>(tint.green),
                          static_cast<float>(tint.blue), static_cast<float>(tint.alpha));
}

// A colour that cannot be read in sRGB becomes opaque black.
TintColor tint(const QColor& colour) {
  if (!colour.isValid()) {
    return TintColor{0, 0, 0, 1};
  }
  const QColor rgb = colour.toRgb();
  return TintColor{rgb.redF(), rgb.greenF(), rgb.blueF(), rgb.alphaF()};
}

QCheckBox* toggle() {
  return new QCheckBox;
}

}  // namespace

GeneralPane::GeneralPane(SettingsServices& services)
    : SettingsPage(QStringLiteral("General")), s_(services) {
  buildAppearance();
  buildLayout();
  buildDockActions();
  buildStartup();
  buildAdvanced();
  sections().addStretch();
  // The tile size belongs to the system dock's domain: follow it when it changes elsewhere.
  tileSizeChanged_ =
      s_.notifications.observe(SystemDockPreferences::didChange, [this] { refreshTileSize(); });
  refresh();
}

GeneralPane::~GeneralPane() = default;

void GeneralPane::buildAppearance() {
  appearance_ =
      std::make_unique<SettingsSection>(sections(), QStringLiteral("Appearance"), "appearance");
  auto* segments = new QWidget;
  auto* row = new QHBoxLayout(segments);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  appearanceMode_ = new QButtonGroup(segments);
  const std::pair<AppearanceMode, const char*> modes[] = {{AppearanceMode::system, "Auto"},
                                                          {AppearanceMode::light, "Light"},
                                                          {AppearanceMode::dark, "Dark"}};
  for (const auto& [mode, text] : modes) {
    auto* button = new QPushButton(QString::fromUtf8(text));
    button->setCheckable(true);
    button->setObjectName(qstring(rawValue(mode)));
    appearanceMode_->addButton(button, static_cast<int>(mode));
    row->addWidget(button);
  }
  appearance_->addRow(QStringLiteral("Appearance"), segments, "appearanceMode");
  connect(appearanceMode_, &QButtonGroup::idClicked, this,
          [this](int id) { s_.preferences.setAppearanceMode(static_cast<AppearanceMode>(id)); });

  magnification_ = toggle();
  appearance_->addRow(QStringLiteral("Magnification"), magnification_, "magnificationEnabled");
  connect(magnification_, &QCheckBox::clicked, this,
          [this](bool on) { s_.preferences.setMagnificationEnabled(on); });

  auto* iconStyle = new QWidget;
  auto* iconRow = new QHBoxLayout(iconStyle);
  iconRow->setContentsMargins(0, 0, 0, 0);
  iconStyleButton_ = new QPushButton(QStringLiteral("Change in System Settings…"));
  iconStyleButton_->setObjectName(QStringLiteral("iconStyleButton"));
  iconStyleHint_ = new QLabel(qstring(IconStyleSettings::unavailableHint));
  iconStyleHint_->setObjectName(QStringLiteral("iconStyleHint"));
  iconRow->addWidget(iconStyleButton_);
  iconRow->addWidget(iconStyleHint_);
  appearance_->addRow(QStringLiteral("Icon style"), iconStyle, "iconStyle");
  connect(iconStyleButton_, &QPushButton::clicked, this, [this] {
    if (!s_.iconStyle.open()) {
      refreshIconStyle();  // uninstalled since the pane was shown: say how instead
    }
  });

  customTint_ = toggle();
  appearance_->addRow(QStringLiteral("Custom dock tint"), customTint_, "customTint");
  connect(customTint_, &QCheckBox::clicked, this, [this](bool on) {
    s_.preferences.setCustomTintColor(on ? std::optional(startingTint) : std::nullopt);
  });
  tintColor_ = new QPushButton;
  tintColor_->setFixedSize(44, 22);
  appearance_->addRow(QStringLiteral("Tint color"), tintColor_, "customTintColor");
  connect(tintColor_, &QPushButton::clicked, this, [this] { pickTint(); });
}

void GeneralPane::pickTint() {
  if (!tintDialog_) {
    tintDialog_ = new QColorDialog(this);
    tintDialog_->setObjectName(QStringLiteral("tintPicker"));
    tintDialog_->setOption(QColorDialog::ShowAlphaChannel);
    connect(tintDialog_, &QColorDialog::colorSelected, this,
            [this](const QColor& colour) { s_.preferences.setCustomTintColor(tint(colour)); });
  }
  tintDialog_->setCurrentColor(qcolor(s_.preferences.customTintColor().value_or(startingTint)));
  tintDialog_->show();
  tintDialog_->raise();
}

void GeneralPane::buildLayout() {
  layout_ = std::make_unique<SettingsSection>(sections(), QStringLiteral("Layout"), "layout");
  auto* size = new QWidget;
  auto* row = new QHBoxLayout(size);
  row->setContentsMargins(0, 0, 0, 0);
  tileSize_ = new QSlider(Qt::Horizontal);
  tileSize_->setObjectName(QStringLiteral("tileSizeSlider"));
  tileSize_->setRange(static_cast<int>(DockSizeSetting::minimum * kSizeSteps),
                      static_cast<int>(DockSizeSetting::maximum * kSizeSteps));
  tileSize_->setSingleStep(kSizeSteps);
  tileSize_->setPageStep(8 * kSizeSteps);
  tileSize_->setMinimumWidth(220);
  row->addWidget(new QLabel(QStringLiteral("Small")));
  row->addWidget(tileSize_);
  row->addWidget(new QLabel(QStringLiteral("Large")));
  layout_->addRow(QStringLiteral("Size"), size, "tileSize");
  const auto commit = [this] {
    DockSizeSetting::commit(tileSize_->value() / double(kSizeSteps), s_.domains, s_.notifications);
  };
  // A drag writes once, on release; keys and clicks on the track are finished changes.
  connect(tileSize_, &QSlider::sliderReleased, this, commit);
  connect(tileSize_, &QSlider::valueChanged, this, [this, commit] {
    if (!tileSize_->isSliderDown()) {
      commit();
    }
  });

  displayTarget_ = enumerationPicker<WindowDisplayTarget>({
      {WindowDisplayTarget::primaryDisplay, QStringLiteral("Main display")},
      {WindowDisplayTarget::followsPointer, QStringLiteral("Follows pointer")},
      {WindowDisplayTarget::allDisplays, QStringLiteral("All displays")},
  });
  layout_->addRow(QStringLiteral("Display"), displayTarget_, "windowDisplayTarget");
  connect(displayTarget_, &QComboBox::activated, this, [this](int index) {
    if (auto value = chosenIn<WindowDisplayTarget>(*displayTarget_, index)) {
      s_.preferences.setWindowDisplayTarget(*value);
    }
  });
  runningApps_ = enumerationPicker<RunningAppsScope>({
      {RunningAppsScope::allDisplays, QStringLiteral("On every dock")},
      {RunningAppsScope::displayWithWindows, QStringLiteral("Where their windows are")},
  });
  layout_->addRow(QStringLiteral("Running apps"), runningApps_, "runningAppsScope");
  connect(runningApps_, &QComboBox::activated, this, [this](int index) {
    if (auto value = chosenIn<RunningAppsScope>(*runningApps_, index)) {
      s_.preferences.setRunningAppsScope(*value);
    }
  });
}

void GeneralPane::buildDockActions() {
  dockActions_ =
      std::make_unique<SettingsSection>(sections(), QStringLiteral("Dock Actions"), "dockActions");
  Preferences& preferences = s_.preferences;
  leadingAction_ = new DockEdgeActionMenu(
      {[&preferences] { return preferences.leadingEdgeAction(); },
       [&preferences](DockEdgeAction action) { preferences.setLeadingEdgeAction(action); }},
      s_.edgeActions);
  dockActions_->addRow(QStringLiteral("Left end of the dock"), leadingAction_, "leadingEdgeAction");
  trailingAction_ = new DockEdgeActionMenu(
      {[&preferences] { return preferences.trailingEdgeAction(); },
       [&preferences](DockEdgeAction action) { preferences.setTrailingEdgeAction(action); }},
      s_.edgeActions);
  dockActions_->addRow(QStringLiteral("Right end of the dock"), trailingAction_,
                       "trailingEdgeAction");
  dockActions_->setFooter(
      QStringLiteral("Click the desktop beside either end of the dock to run its action."));
}

void GeneralPane::buildStartup() {
  startup_ = std::make_unique<SettingsSection>(sections(), QStringLiteral("Startup"), "startup");
  opensAtLogin_ = toggle();
  startup_->addRow(QStringLiteral("Open Quayline at login"), opensAtLogin_, "opensAtLogin");
  connect(opensAtLogin_, &QCheckBox::clicked, this,
          [this](bool on) { s_.preferences.setOpensAtLogin(on); });
  advancedShown_ = toggle();
  startup_->addRow(QStringLiteral("Show advanced settings"), advancedShown_,
                   "showsAdvancedSettings");
  connect(advancedShown_, &QCheckBox::clicked, this,
          [this](bool on) { s_.preferences.setShowsAdvancedSettings(on); });
  startup_->setFooter(
      QStringLiteral("Quayline takes the place of your Dock, so it opens with your Mac."));
}

void GeneralPane::buildAdvanced() {
  advanced_ = std::make_unique<SettingsSection>(sections(), QStringLiteral("Advanced"), "advanced");
  autohide_ = toggle();
  advanced_->addRow(QStringLiteral("Automatically hide and show the dock"), autohide_, "autohide");
  connect(autohide_, &QCheckBox::clicked, this,
          [this](bool on) { s_.preferences.setAutohide(on); });
  maximized_ = enumerationPicker<MaximizedWindowBehavior>({
      {MaximizedWindowBehavior::ignore, QStringLiteral("Do nothing")},
      {MaximizedWindowBehavior::hideDock, QStringLiteral("Hide the dock")},
      {MaximizedWindowBehavior::resizeWindow, QStringLiteral("Resize the window")},
  });
  advanced_->addRow(QStringLiteral("When a window is maximized"), maximized_,
                    "maximizedWindowBehavior");
  connect(maximized_, &QComboBox::activated, this, [this](int index) {
    if (auto value = chosenIn<MaximizedWindowBehavior>(*maximized_, index)) {
      s_.preferences.setMaximizedWindowBehavior(*value);
    }
  });
  auto* reset = new QPushButton(QStringLiteral("Reset behavior settings"));
  advanced_->addRow(QString(), reset, "resetBehavior");
  reset->setAccessibleName(QStringLiteral("Reset behavior settings"));
  connect(reset, &QPushButton::clicked, this,
          [this] { BehaviorReset::request(s_.confirmations, s_.preferences); });
}

void GeneralPane::refresh() {
  const Preferences& p = s_.preferences;
  const QSignalBlocker blockMode(appearanceMode_);
  appearanceMode_->button(static_cast<int>(p.appearanceMode()))->setChecked(true);
  magnification_->setChecked(p.magnificationEnabled());
  const auto& tint = p.customTintColor();
  customTint_->setChecked(tint.has_value());
  appearance_->setRowVisible(tintColor_, tint.has_value());
  if (tint) {
    const QColor colour = qcolor(*tint);
    tintColor_->setStyleSheet(
        QStringLiteral("background-color: %1;").arg(colour.name(QColor::HexArgb)));
    tintColor_->setToolTip(colour.name(QColor::HexArgb));
  }
  {
    const QSignalBlocker block(displayTarget_);
    selectIn(*displayTarget_, p.windowDisplayTarget());
  }
  {
    const QSignalBlocker block(runningApps_);
    selectIn(*runningApps_, p.runningAppsScope());
  }
  layout_->setRowVisible(runningApps_, p.windowDisplayTarget() == WindowDisplayTarget::allDisplays);
  leadingAction_->refresh();
  trailingAction_->refresh();
  opensAtLogin_->setChecked(p.opensAtLogin());
  advancedShown_->setChecked(p.showsAdvancedSettings());
  advanced_->setVisible(p.showsAdvancedSettings());
  autohide_->setChecked(p.autohide());
  {
    const QSignalBlocker block(maximized_);
    selectIn(*maximized_, p.maximizedWindowBehavior());
  }
  refreshTileSize();
}

void GeneralPane::refreshTileSize() {
  if (tileSize_->isSliderDown()) {
    return;  // the user's drag wins until it is let go
  }
  const QSignalBlocker block(tileSize_);
  tileSize_->setValue(
      static_cast<int>(std::lround(DockSizeSetting::stored(s_.domains) * kSizeSteps)));
}

void GeneralPane::refreshIconStyle() {
  const bool known = s_.iconStyle.application().has_value();
  iconStyleButton_->setVisible(known);
  iconStyleHint_->setVisible(!known);
}

void GeneralPane::showEvent(QShowEvent* event) {
  SettingsPage::showEvent(event);
  refreshIconStyle();
  refreshTileSize();
}

}  // namespace quayline
