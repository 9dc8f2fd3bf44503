#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "foundation/Enumeration.h"

namespace quayline {

enum class AppearanceMode { system, light, dark };
enum class WindowDisplayTarget { primaryDisplay, followsPointer, allDisplays };
enum class RunningAppsScope { allDisplays, displayWithWindows };
enum class DockEdgeAction { none, showDesktop, missionControl, stageManager };
enum class MaximizedWindowBehavior { ignore, hideDock, resizeWindow };
enum class FrontmostClickBehavior { doesNothing, hidesApp, switchesWindows, minimizesAllWindows };

template <>
struct EnumerationCases<AppearanceMode> {
  static constexpr std::array<std::pair<AppearanceMode, std::string_view>, 3> cases{{
      {AppearanceMode::system, "system"},
      {AppearanceMode::light, "light"},
      {AppearanceMode::dark, "dark"},
  }};
};
template <>
struct EnumerationCases<WindowDisplayTarget> {
  static constexpr std::array<std::pair<WindowDisplayTarget, std::string_view>, 3> cases{{
      {WindowDisplayTarget::primaryDisplay, "primaryDisplay"},
      {WindowDisplayTarget::followsPointer, "followsPointer"},
      {WindowDisplayTarget::allDisplays, "allDisplays"},
  }};
};
template <>
struct EnumerationCases<RunningAppsScope> {
  static constexpr std::array<std::pair<RunningAppsScope, std::string_view>, 2> cases{{
      {RunningAppsScope::allDisplays, "allDisplays"},
      {RunningAppsScope::displayWithWindows, "displayWithWindows"},
  }};
};
template <>
struct EnumerationCases<DockEdgeAction> {
  static constexpr std::array<std::pair<DockEdgeAction, std::string_view>, 4> cases{{
      {DockEdgeAction::none, "none"},
      {DockEdgeAction::showDesktop, "showDesktop"},
      {DockEdgeAction::missionControl, "missionControl"},
      {DockEdgeAction::stageManager, "stageManager"},
  }};
};
template <>
struct EnumerationCases<MaximizedWindowBehavior> {
  static constexpr std::array<std::pair<MaximizedWindowBehavior, std::string_view>, 3> cases{{
      {MaximizedWindowBehavior::ignore, "ignore"},
      {MaximizedWindowBehavior::hideDock, "hideDock"},
      {MaximizedWindowBehavior::resizeWindow, "resizeWindow"},
  }};
};
template <>
struct EnumerationCases<FrontmostClickBehavior> {
  static constexpr std::array<std::pair<FrontmostClickBehavior, std::string_view>, 4> cases{{
      {FrontmostClickBehavior::doesNothing, "doesNothing"},
      {FrontmostClickBehavior::hidesApp, "hidesApp"},
      {FrontmostClickBehavior::switchesWindows, "switchesWindows"},
      {FrontmostClickBehavior::minimizesAllWindows, "minimizesAllWindows"},
  }};
};

// A colour in sRGB components from 0 to 1.
struct TintColor {
  double red = 0;
  double green = 0;
  double blue = 0;
  double alpha = 1;

  bool operator==(const TintColor&) const = default;

  // One JSON object with the four keys, all required numbers.
  std::string toJson() const;
  static std::optional<TintColor> fromJson(std::string_view json);
};

std::ostream& operator<<(std::ostream& out, const TintColor& tint);

}  // namespace quayline
