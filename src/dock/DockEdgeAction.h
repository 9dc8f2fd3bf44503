#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/PreferenceValues.h"

namespace quayline {

class DesktopActions;
class PreferenceDomains;
class SystemLog;

// What each edge action is called and shows in the settings menu.
std::string_view title(DockEdgeAction action);
std::string_view symbolName(DockEdgeAction action);

// Runs the edge actions. An action the desktop cannot offer is said to be unavailable, with the
// reason, and does nothing. Main thread.
class DockEdgeActions {
 public:
  static constexpr std::string_view windowManagerDomain = "com.apple.WindowManager";
  static constexpr std::string_view stageManagerKey = "GloballyEnabled";

  DockEdgeActions(DesktopActions& desktop, PreferenceDomains& domains, SystemLog& log)
      : desktop_(desktop), domains_(domains), log_(log) {}

  void perform(DockEdgeAction action);
  std::optional<std::string> unavailableReason(DockEdgeAction action) const;

 private:
  void toggleStageManager();

  DesktopActions& desktop_;
  PreferenceDomains& domains_;
  SystemLog& log_;
};

}  // namespace quayline
