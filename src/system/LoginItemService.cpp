#include "system/LoginItemService.h"

#include "app/Preferences.h"
#include "platform/SystemLog.h"
#include "system/InstallLocation.h"

namespace quayline {

using Status = LoginItemRegistration::Status;

LoginItemService::LoginItemService(LoginItemRegistration& registration, InstallLocation& location,
                                   SystemLog& log)
    : registration_(registration), location_(location), log_(log) {}

bool LoginItemService::setEnabled(bool enabled) {
  if (location_.needsMove()) {
    failed(enabled, "this copy is not installed: " + location_.whyNotInstalled());
    return false;
  }
  const Status status = registration_.status();
  if (enabled) {
    if (status == Status::enabled) {
      return true;
    }
    if (status == Status::requiresApproval) {
      log_.console(
          "Quayline: login item is switched off in the desktop's startup settings; it starts "
          "at login once switched on there");
      return true;
    }
    if (auto error = registration_.registerProgram(location_.runningPrefix() + "/bin/quayline")) {
      failed(true, *error);
      return false;
    }
    return true;
  }
  if (status == Status::notRegistered) {
    return true;
  }
  if (auto error = registration_.unregister()) {
    failed(false, *error);
    return false;
  }
  return true;
}

bool LoginItemService::isEnabled() {
  return registration_.status() == Status::enabled;
}

void LoginItemService::syncWithPreference(Preferences& preferences) {
  if (!preferences.opensAtLogin()) {
    (void)setEnabled(false);
    return;
  }
  switch (registration_.status()) {
    case Status::notRegistered:
      (void)setEnabled(true);
      return;
    case Status::notFound:
      // Writes the setting and, through it, removes the stale registration.
      preferences.setOpensAtLogin(false);
      return;
    case Status::enabled:
    case Status::requiresApproval:
      return;
  }
}

void LoginItemService::failed(bool enabling, const std::string& why) {
  log_.console(std::string("Quayline: login item ") + (enabling ? "register" : "unregister") +
               " failed: " + why);
}

}  // namespace quayline
