#pragma once

#include <optional>
#include <string>

namespace quayline {

// The desktop-wide gestures the dock's edge clicks start. Main thread.
class DesktopActions {
 public:
  virtual ~DesktopActions() = default;

  // Moves every window aside to show the desktop, or brings them back when they are aside.
  virtual void toggleShowDesktop() = 0;
  // Shows every window of the display at once to pick one from.
  virtual void showWindowOverview() = 0;

  // Why the window overview or the stage manager switch cannot be used on this desktop; nothing
  // when it can.
  virtual std::optional<std::string> windowOverviewUnavailable() const = 0;
  virtual std::optional<std::string> stageManagerUnavailable() const = 0;
};

}  // namespace quayline
