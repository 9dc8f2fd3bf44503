#include "platform/Workspace.h"

namespace quayline {

std::ostream& operator<<(std::ostream& out, const RunningApp& app) {
  out << "RunningApp{pid " << app.pid << ", " << app.bundleIdentifier.value_or("(no identifier)");
  if (app.localizedName) {
    out << ", \"" << *app.localizedName << "\"";
  }
  if (app.activationPolicy != ActivationPolicy::regular) {
    out << (app.activationPolicy == ActivationPolicy::accessory ? ", accessory" : ", prohibited");
  }
  if (app.isHidden) {
    out << ", hidden";
  }
  return out << "}";
}

}  // namespace quayline
