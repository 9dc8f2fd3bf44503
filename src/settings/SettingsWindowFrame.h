#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Geometry.h"

namespace quayline {

class PreferenceDomains;

// Where the settings window was last, kept in Quayline's own domain under its frame name, in
// the global display space (origin at the top left, y down).
namespace SettingsWindowFrame {

inline constexpr std::string_view name = "QuaylineSettings";
inline constexpr std::string_view key = "NSWindow Frame QuaylineSettings";
inline constexpr Size contentSize{780, 540};
inline constexpr Size minimumSize{680, 440};

// "x y width height" in whole pixels.
std::string encode(const Rect& frame);
// Nothing for anything but four finite numbers with a positive size.
std::optional<Rect> decode(std::string_view text);

std::optional<Rect> stored(PreferenceDomains& domains);
void store(PreferenceDomains& domains, const Rect& frame);

// The stored frame made to fit: at least the minimum size, no larger than its screen, moved
// wholly onto the screen it overlaps most (the first screen when it overlaps none, as after a
// display was unplugged). Nothing when there is no stored frame: the window opens centred.
std::optional<Rect> restored(const std::optional<Rect>& stored, const std::vector<Rect>& screens);

}  // namespace SettingsWindowFrame
}  // namespace quayline
