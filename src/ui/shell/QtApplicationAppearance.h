#pragma once

#include "platform/ApplicationAppearance.h"

namespace quayline {

// The application's own windows and menus (the status menu, later the settings) in the chosen
// appearance: a light or dark palette, or the desktop's own when following the system.
class QtApplicationAppearance final : public ApplicationAppearance {
 public:
  void set(std::optional<Name> name) override;
};

}  // namespace quayline
