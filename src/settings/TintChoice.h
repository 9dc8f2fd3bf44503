#pragma once

#include "app/PreferenceValues.h"

namespace quayline {

// The tint a user gets on turning "Custom dock tint" on before picking a colour: a light
// translucent blue that reads over both glass appearances.
inline constexpr TintColor startingTint{0.0, 0.48, 1.0, 0.35};

}  // namespace quayline
