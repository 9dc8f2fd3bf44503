#pragma once

#include <memory>

#include "foundation/Subscription.h"
#include "ui/settings/SettingsForm.h"

class QVBoxLayout;

namespace quayline {

class HiddenApps;

// The Hidden Apps pane: the running apps hidden from the dock, each with a "Show" button.
class HiddenAppsPane final : public SettingsPage {
 public:
  explicit HiddenAppsPane(HiddenApps& hiddenApps);
  ~HiddenAppsPane() override;

  void refresh() override;

 private:
  HiddenApps& hiddenApps_;
  std::unique_ptr<SettingsSection> section_;
  QVBoxLayout* rows_ = nullptr;
  Subscription changed_;
};

}  // namespace quayline
