#include "dock/DisplayTarget.h"

namespace quayline::DisplayTarget {

std::vector<Screen> screens(WindowDisplayTarget target, const std::vector<Screen>& screens,
                            Point pointer) {
  if (screens.empty()) {
    return {};
  }
  switch (target) {
    case WindowDisplayTarget::primaryDisplay:
      return {screens.front()};
    case WindowDisplayTarget::allDisplays:
      return screens;
    case WindowDisplayTarget::followsPointer:
      for (const auto& screen : screens) {
        if (mouseInRect(pointer, screen.frame)) {
          return {screen};
        }
      }
      return {screens.front()};
  }
  return {};
}

std::optional<DisplayNumber> displayUnderPointer(const std::vector<Screen>& screens,
                                                 Point pointer) {
  for (const auto& screen : screens) {
    if (mouseInRect(pointer, screen.frame)) {
      return screen.displayNumber;
    }
  }
  return std::nullopt;
}

}  // namespace quayline::DisplayTarget
