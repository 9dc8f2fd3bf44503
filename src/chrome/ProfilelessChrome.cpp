#include "chrome/ProfilelessChrome.h"

#include "model/Tile.h"
#include "platform/Workspace.h"
#include "windows/WindowRegistry.h"

namespace quayline {

std::optional<ProcessId> FirstChromeInstance::mainBrowserProcessIdentifier() {
  for (const auto& app : workspace_.runningApplications()) {
    if (app.activationPolicy == ActivationPolicy::regular &&
        app.bundleIdentifier == kChromeBundleIdentifier) {
      return app.pid;
    }
  }
  return std::nullopt;
}

std::vector<AppWindow> ProfilelessChrome::unattributedWindows() {
  return registry_.windows(kChromeBundleIdentifier);
}

}  // namespace quayline
