#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Subscription.h"
#include "platform/PrivacyPermissions.h"

namespace quayline {

class Scheduler;

// What one permission's row shows.
struct PermissionRow {
  SystemPermission permission = SystemPermission::accessibility;
  std::string identifier;  // "permission:" and the raw value, for automation
  std::string title;
  std::string tag;  // the small chip beside the title ("Optional"); empty for none
  std::string description;
  std::string status;
  bool granted = false;  // drawn with a check mark
  // The action button's title; empty when the row has no button.
  std::string buttonTitle;
  // Shown instead of a button that could not help (the platform has no prompt or page).
  std::string reason;

  bool operator==(const PermissionRow&) const = default;
};
std::ostream& operator<<(std::ostream& out, const PermissionRow& row);

// The permission rows of the settings window (and, in part, of onboarding): their texts from the
// grants, and what their buttons do. Remembers for the rest of the run that screen recording was
// requested, since that grant only takes effect after a restart.
class PermissionRows {
 public:
  static constexpr std::string_view sectionTitle = "Permissions";
  static constexpr std::string_view footer =
      "Quayline needs Accessibility to see other apps' windows; everything else is optional. "
      "Screen Recording takes effect after Quayline is reopened.";
  static constexpr double refreshInterval = 1.0;

  explicit PermissionRows(PrivacyPermissions& permissions) : permissions_(permissions) {}

  PermissionCheck check() { return permissions_.check(); }
  // One row per permission, in display order.
  std::vector<PermissionRow> rows(const PermissionCheck& check) const;
  PermissionRow row(SystemPermission permission, const PermissionCheck& check) const;

  // The row's button was pressed.
  void press(SystemPermission permission);
  bool screenRecordingRequested() const { return screenRecordingRequested_; }

  // Evaluates now and then once per `refreshInterval` while the handle lives; `changed` gets the
  // rows at first and again whenever they would differ from the ones before.
  Subscription watch(Scheduler& scheduler,
                     std::function<void(const std::vector<PermissionRow>&)> changed);

 private:
  PrivacyPermissions& permissions_;
  bool screenRecordingRequested_ = false;
};

}  // namespace quayline
