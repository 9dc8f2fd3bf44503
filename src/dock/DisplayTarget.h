#pragma once

#include <vector>

#include "app/PreferenceValues.h"
#include "platform/Displays.h"

namespace quayline {

// Which screens get a dock.
namespace DisplayTarget {

// `pointer` is in the bottom-left screen space.
std::vector<Screen> screens(WindowDisplayTarget target, const std::vector<Screen>& screens,
                            Point pointer);

// The first screen whose frame holds the point, by the pointer's containment rule.
std::optional<DisplayNumber> displayUnderPointer(const std::vector<Screen>& screens, Point pointer);

}  // namespace DisplayTarget
}  // namespace quayline
