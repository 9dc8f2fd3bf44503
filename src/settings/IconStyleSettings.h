#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Url.h"

namespace quayline {

class Workspace;

// The desktop's own place for choosing the icon style, which the settings' "Icon style" row
// opens. Desktops keep it in different programs; one that belongs to another desktop would
// change a setting this desktop does not read, so only the current desktop's and
// desktop-neutral ones are offered.
class IconStyleSettings {
 public:
  // Shown instead of the button when no such program is installed.
  static constexpr std::string_view unavailableHint =
      "Choose the icon theme in your desktop's appearance settings.";

  // `currentDesktop` as the session names it (XDG_CURRENT_DESKTOP: names separated by colons).
  IconStyleSettings(Workspace& workspace, std::string currentDesktop);

  // The application identifiers to look for, in order of preference.
  static std::vector<std::string_view> candidates(std::string_view currentDesktop);

  // The first candidate that is installed; looked up on every call, so an installation made
  // while Quayline runs counts.
  std::optional<Url> application();
  // Opens it; false when there is none or it did not start.
  bool open();

 private:
  Workspace& workspace_;
  std::string currentDesktop_;
};

}  // namespace quayline
