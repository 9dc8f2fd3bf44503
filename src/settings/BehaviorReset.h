#pragma once

#include "dock/Confirmations.h"

namespace quayline {

class Preferences;

// The settings' "Reset behavior settings": asks first, and only "Reset" resets.
namespace BehaviorReset {

inline const Confirmation question{
    "Reset behavior settings?",
    "Every setting goes back to its default. Your pinned apps are not affected.", "Reset"};

void request(Confirmations& confirmations, Preferences& preferences);

}  // namespace BehaviorReset
}  // namespace quayline
