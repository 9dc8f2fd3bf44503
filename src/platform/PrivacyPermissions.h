#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>

#include "foundation/Enumeration.h"

namespace quayline {

// The privacy permissions features depend on, in display order. Only accessibility is required.
enum class SystemPermission { accessibility, screenRecording, fullDiskAccess, finderAutomation };

template <>
struct EnumerationCases<SystemPermission> {
  static constexpr std::array<std::pair<SystemPermission, std::string_view>, 4> cases{{
      {SystemPermission::accessibility, "accessibility"},
      {SystemPermission::screenRecording, "screenRecording"},
      {SystemPermission::fullDiskAccess, "fullDiskAccess"},
      {SystemPermission::finderAutomation, "finderAutomation"},
  }};
};

// One evaluation of every permission.
struct PermissionCheck {
  std::set<SystemPermission> granted;
  // For a permission that is not granted and that no request of Quayline's can grant (the
  // platform has no prompt or settings page for it): what stands in the way, in words for the
  // user. Absent where a request can help.
  std::map<SystemPermission, std::string> reasons;

  bool contains(SystemPermission permission) const { return granted.contains(permission); }
  bool operator==(const PermissionCheck&) const = default;
};

// The platform's privacy permissions: whether each is granted now, and its way of asking.
class PrivacyPermissions {
 public:
  virtual ~PrivacyPermissions() = default;

  // Evaluated afresh on every call; a permission that cannot be tested is not granted.
  virtual PermissionCheck check() = 0;
  std::set<SystemPermission> currentGrants() { return check().granted; }

  // Starts the platform's way of granting the permission (a prompt, a settings page). Returns
  // at once.
  virtual void request(SystemPermission permission) = 0;
  // Opens the permission's page of the system settings, where there is one.
  virtual void openSettings(SystemPermission permission) = 0;
};

}  // namespace quayline
