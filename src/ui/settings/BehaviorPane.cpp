#include "ui/settings/BehaviorPane.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/Preferences.h"

namespace quayline {

namespace {

// The delay slider runs from 0.1 s to 1.0 s in tenths.
constexpr int kDelaySteps = 10;

QString seconds(double value) {
  return QString::asprintf("%.1f s", value);
}

}  // namespace

BehaviorPane::BehaviorPane(SettingsServices& services)
    : SettingsPage(QStringLiteral("Behavior")), s_(services) {
  Preferences& preferences = s_.preferences;
  previews_ = std::make_unique<SettingsSection>(sections(), QStringLiteral("Previews"), "previews");
  previewsEnabled_ = new QCheckBox;
  previews_->addRow(QStringLiteral("Window previews"), previewsEnabled_, "windowPreviewsEnabled");
  connect(previewsEnabled_, &QCheckBox::clicked, this,
          [&preferences](bool on) { preferences.setWindowPreviewsEnabled(on); });
  auto* delay = new QWidget;
  auto* row = new QHBoxLayout(delay);
  row->setContentsMargins(0, 0, 0, 0);
  delay_ = new QSlider(Qt::Horizontal);
  delay_->setObjectName(QStringLiteral("windowPreviewHoverDelaySlider"));
  delay_->setRange(1, kDelaySteps);
  delay_->setPageStep(1);
  delay_->setMinimumWidth(200);
  delayText_ = new QLabel;
  delayText_->setObjectName(QStringLiteral("windowPreviewHoverDelayText"));
  row->addWidget(delay_);
  row->addWidget(delayText_);
  previews_->addRow(QStringLiteral("Preview delay"), delay, "windowPreviewHoverDelay");
  // Refreshing blocks the slider's signals, so a change seen here is the user's.
  connect(delay_, &QSlider::valueChanged, this, [this, &preferences](int steps) {
    const double value = steps / double(kDelaySteps);
    delayText_->setText(seconds(value));
    preferences.setWindowPreviewHoverDelay(value);
  });
  previews_->setFooter(QStringLiteral("Hold the pointer over an app to see its windows."));

  clicks_ = std::make_unique<SettingsSection>(sections(), QStringLiteral("Clicks"), "clicks");
  frontmostClick_ = enumerationPicker<FrontmostClickBehavior>({
      {FrontmostClickBehavior::doesNothing, QStringLiteral("Does nothing")},
      {FrontmostClickBehavior::hidesApp, QStringLiteral("Hides the app")},
      {FrontmostClickBehavior::switchesWindows, QStringLiteral("Switches windows")},
      {FrontmostClickBehavior::minimizesAllWindows, QStringLiteral("Minimizes all windows")},
  });
  clicks_->addRow(QStringLiteral("Clicking an app that is already active"), frontmostClick_,
                  "frontmostClickBehavior");
  connect(frontmostClick_, &QComboBox::activated, this, [this, &preferences](int index) {
    if (auto value = chosenIn<FrontmostClickBehavior>(*frontmostClick_, index)) {
      preferences.setFrontmostClickBehavior(*value);
    }
  });

  switcher_ = std::make_unique<SettingsSection>(sections(), QStringLiteral("Window switcher"),
                                                "windowSwitcher");
  switcherEnabled_ = new QCheckBox;
  switcher_->addRow(QStringLiteral("Window switcher"), switcherEnabled_, "windowSwitcherEnabled");
  connect(switcherEnabled_, &QCheckBox::clicked, this,
          [&preferences](bool on) { preferences.setWindowSwitcherEnabled(on); });
  shortcut_ = new QComboBox;
  shortcut_->addItem(QStringLiteral("Option-Tab"), false);
  shortcut_->addItem(QStringLiteral("Command-Tab"), true);
  switcher_->addRow(QStringLiteral("Shortcut"), shortcut_, "switcherUsesCommandTab");
  connect(shortcut_, &QComboBox::activated, this, [this, &preferences](int index) {
    preferences.setSwitcherUsesCommandTab(shortcut_->itemData(index).toBool());
  });
  switcher_->setFooter(QStringLiteral(
      "Hold the shortcut key and press Tab to see every open window. Release to switch."));
  sections().addStretch();
  refresh();
}

BehaviorPane::~BehaviorPane() = default;

void BehaviorPane::refresh() {
  const Preferences& p = s_.preferences;
  previewsEnabled_->setChecked(p.windowPreviewsEnabled());
  {
    // A stored delay outside the slider's range shows at the nearest end, as stored.
    const double delay = p.windowPreviewHoverDelay();
    const QSignalBlocker block(delay_);
    delay_->setValue(std::isfinite(delay)
                         ? static_cast<int>(std::lround(std::clamp(delay, 0.1, 1.0) * kDelaySteps))
                         : 3);
    delayText_->setText(seconds(delay_->value() / double(kDelaySteps)));
  }
  {
    const QSignalBlocker block(frontmostClick_);
    selectIn(*frontmostClick_, p.frontmostClickBehavior());
  }
  switcherEnabled_->setChecked(p.windowSwitcherEnabled());
  const QSignalBlocker block(shortcut_);
  shortcut_->setCurrentIndex(p.switcherUsesCommandTab() ? 1 : 0);
}

}  // namespace quayline
