#pragma once

#include <memory>

#include "ui/settings/SettingsForm.h"
#include "ui/settings/SettingsServices.h"

class QCheckBox;
class QLabel;
class QSlider;

namespace quayline {

// The Behavior pane: previews, clicks on the active app, and the window switcher.
class BehaviorPane final : public SettingsPage {
 public:
  explicit BehaviorPane(SettingsServices& services);
  ~BehaviorPane() override;

  void refresh() override;

 private:
  SettingsServices& s_;
  std::unique_ptr<SettingsSection> previews_;
  std::unique_ptr<SettingsSection> clicks_;
  std::unique_ptr<SettingsSection> switcher_;
  QCheckBox* previewsEnabled_ = nullptr;
  QSlider* delay_ = nullptr;
  QLabel* delayText_ = nullptr;
  QComboBox* frontmostClick_ = nullptr;
  QCheckBox* switcherEnabled_ = nullptr;
  QComboBox* shortcut_ = nullptr;
};

}  // namespace quayline
