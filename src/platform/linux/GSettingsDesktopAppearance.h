#pragma once

#include <memory>

#include "platform/DesktopAppearance.h"

namespace quayline {

// The desktop's appearance from GNOME's settings where their schemas are installed, else from
// the Qt platform theme, else light with every accessibility option off.
class GSettingsDesktopAppearance final : public DesktopAppearance {
 public:
  GSettingsDesktopAppearance();
  ~GSettingsDesktopAppearance() override;

  ColorScheme colorScheme() override;
  AccessibilityDisplayOptions accessibilityDisplayOptions() override;
  std::string iconTheme() override;
  Subscription observeChanges(std::function<void()> observer) override;

 private:
  struct Settings;
  std::unique_ptr<Settings> settings_;
};

}  // namespace quayline
