#include "dock/DockEdgeAction.h"

#include "platform/DesktopActions.h"
#include "platform/PreferenceDomains.h"
#include "platform/SystemLog.h"

namespace quayline {

std::string_view title(DockEdgeAction action) {
  switch (action) {
    case DockEdgeAction::none:
      return "Nothing";
    case DockEdgeAction::showDesktop:
      return "Show Desktop";
    case DockEdgeAction::missionControl:
      return "Mission Control";
    case DockEdgeAction::stageManager:
      return "Stage Manager";
  }
  return "Nothing";
}

std::string_view symbolName(DockEdgeAction action) {
  switch (action) {
    case DockEdgeAction::none:
      return "minus";
    case DockEdgeAction::showDesktop:
      return "menubar.dock.rectangle";
    case DockEdgeAction::missionControl:
      return "rectangle.3.group";
    case DockEdgeAction::stageManager:
      return "squares.leading.rectangle";
  }
  return "minus";
}

std::optional<std::string> DockEdgeActions::unavailableReason(DockEdgeAction action) const {
  switch (action) {
    case DockEdgeAction::missionControl:
      return desktop_.windowOverviewUnavailable();
    case DockEdgeAction::stageManager:
      return desktop_.stageManagerUnavailable();
    default:
      return std::nullopt;
  }
}

void DockEdgeActions::perform(DockEdgeAction action) {
  if (const auto reason = unavailableReason(action)) {
    log_.log("edge", std::string(title(action)) + " is unavailable: " + *reason);
    return;
  }
  switch (action) {
    case DockEdgeAction::none:
      return;
    case DockEdgeAction::showDesktop:
      desktop_.toggleShowDesktop();
      return;
    case DockEdgeAction::missionControl:
      desktop_.showWindowOverview();
      return;
    case DockEdgeAction::stageManager:
      toggleStageManager();
      return;
  }
}

void DockEdgeActions::toggleStageManager() {
  // Only a Boolean true counts as on; anything else, unreadable values included, turns it on.
  const auto value = domains_.copy(windowManagerDomain, stageManagerKey);
  const bool on = value && value->boolean() && *value->boolean();
  domains_.set(windowManagerDomain, stageManagerKey, PropertyValue(!on));
  domains_.synchronize(windowManagerDomain);
}

}  // namespace quayline
