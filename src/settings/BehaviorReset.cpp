#include "settings/BehaviorReset.h"

#include "app/Preferences.h"

namespace quayline::BehaviorReset {

void request(Confirmations& confirmations, Preferences& preferences) {
  confirmations.confirm(question, [&preferences] { preferences.reset(); });
}

}  // namespace quayline::BehaviorReset
