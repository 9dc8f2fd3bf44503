#include "settings/Onboarding.h"

#include "app/AccessibilityRecovery.h"
#include "foundation/PropertyValue.h"
#include "foundation/Scheduler.h"
#include "platform/PreferenceDomains.h"

namespace quayline {

Onboarding::Onboarding(Services services) : s_(services), texts_(services.permissions) {}

bool Onboarding::shouldShowAtLaunch(const std::function<bool()>& presentedMovePrompt) {
  if (presentedMovePrompt && presentedMovePrompt()) {
    return false;
  }
  return !s_.permissions.currentGrants().contains(SystemPermission::accessibility);
}

void Onboarding::begin() {
  check_ = s_.permissions.check();
  poll_ = s_.scheduler.every(Scheduler::Seconds(pollInterval), [this] { tick(); });
  if (changed) {
    changed();
  }
}

void Onboarding::tick() {
  const bool wasGranted = accessibility();
  check_ = s_.permissions.check();
  if (!accessibility() && askedAt_ && s_.scheduler.monotonic() - *askedAt_ > stuckAfter) {
    stuck_ = true;
  }
  if (accessibility()) {
    stuck_ = false;
  }
  if (changed) {
    changed();
  }
  if (accessibility() && !wasGranted) {
    finish();
    if (granted) {
      granted();
    }
  }
}

void Onboarding::finish() {
  poll_.reset();
  s_.domains.set(PreferenceDomains::application, completedKey, PropertyValue(true));
}

std::vector<PermissionRow> Onboarding::rows() const {
  std::vector<PermissionRow> result;
  for (const auto permission :
       {SystemPermission::accessibility, SystemPermission::screenRecording}) {
    PermissionRow row = texts_.row(permission, check_);
    row.tag = permission == SystemPermission::accessibility ? requiredTag : "";
    result.push_back(std::move(row));
  }
  return result;
}

void Onboarding::press(SystemPermission permission) {
  if (permission == SystemPermission::accessibility) {
    askedAt_ = s_.scheduler.monotonic();
    s_.recovery.openSettings();
  } else if (permission == SystemPermission::screenRecording) {
    s_.permissions.request(permission);
  }
}

void Onboarding::clearAndReopen() {
  s_.recovery.resetAndRelaunch();
}

void Onboarding::openSystemSettings() {
  s_.recovery.openSettings();
}

}  // namespace quayline
