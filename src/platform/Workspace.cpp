#include "platform/Workspace.h"

namespace quayline {

bool WorkspaceNotification::changesApplications() const {
  switch (kind) {
    case Kind::didLaunchApplication:
    case Kind::didTerminateApplication:
    case Kind::didActivateApplication:
    case Kind::didHideApplication:
    case Kind::didUnhideApplication:
      return true;
    case Kind::willLaunchApplication:
    case Kind::activeSpaceDidChange:
      return false;
  }
  return false;
}

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
