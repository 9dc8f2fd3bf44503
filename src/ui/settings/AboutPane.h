#pragma once

#include "ui/settings/SettingsForm.h"

namespace quayline {

struct AboutInfo;

// The About pane: the program's name and version, and what it is for.
class AboutPane final : public SettingsPage {
 public:
  explicit AboutPane(const AboutInfo& about);
};

}  // namespace quayline
