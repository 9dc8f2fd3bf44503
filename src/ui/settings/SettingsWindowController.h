#pragma once

#include <memory>
#include <optional>

#include "settings/SettingsNavigation.h"
#include "ui/settings/SettingsServices.h"

namespace quayline {

class SettingsWindow;

// Owns the settings window, created on the first `show` and kept for the life of the program,
// and the navigation that says which pane it shows. The window is an ordinary top-level window,
// listed in the desktop's task list while it is open.
class SettingsWindowController {
 public:
  SettingsWindowController(SettingsServices services, PermissionsContent permissions);
  ~SettingsWindowController();
  SettingsWindowController(const SettingsWindowController&) = delete;
  SettingsWindowController& operator=(const SettingsWindowController&) = delete;

  // Selects `pane` when given (also while the window is open on another), then shows the
  // window in front and gives it the keyboard.
  void show(std::optional<SettingsPane> pane = std::nullopt);

  // The General pane, scrolled to its "Dock Actions" section.
  void showDockActions();

  SettingsNavigation& navigation() { return navigation_; }
  // Nothing before the first `show`.
  SettingsWindow* window() const { return window_.get(); }

 private:
  void create();

  SettingsServices services_;
  PermissionsContent permissions_;
  SettingsNavigation navigation_;
  std::unique_ptr<SettingsWindow> window_;
};

}  // namespace quayline
