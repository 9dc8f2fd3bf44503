#include "settings/PermissionRows.h"

#include <memory>
#include <optional>
#include <utility>

#include "foundation/Scheduler.h"
#include "system/SystemPermission.h"

namespace quayline {

std::ostream& operator<<(std::ostream& out, const PermissionRow& row) {
  return out << row.identifier << " [" << row.status << "] button \"" << row.buttonTitle
             << "\" reason \"" << row.reason << "\"" << (row.tag.empty() ? "" : " tag ") << row.tag;
}

PermissionRow PermissionRows::row(SystemPermission permission, const PermissionCheck& check) const {
  PermissionRow row;
  row.permission = permission;
  row.identifier = "permission:" + std::string(rawValue(permission));
  row.title = SystemPermissionText::title(permission);
  row.tag = permission == SystemPermission::accessibility ? "" : "Optional";
  row.description = SystemPermissionText::description(permission);
  row.granted = check.contains(permission);
  const bool requested =
      permission == SystemPermission::screenRecording && screenRecordingRequested_;
  if (row.granted) {
    row.status = "Granted";
  } else if (permission == SystemPermission::accessibility) {
    row.status = "Not granted";
  } else {
    row.status = requested ? "Reopen Quayline to finish" : "Off";
  }
  if (row.granted) {
    return row;
  }
  if (const auto reason = check.reasons.find(permission); reason != check.reasons.end()) {
    row.reason = reason->second;
    return row;
  }
  switch (permission) {
    case SystemPermission::accessibility:
    case SystemPermission::fullDiskAccess:
      row.buttonTitle = "Open System Settings…";
      break;
    case SystemPermission::screenRecording:
      row.buttonTitle = requested ? "Open System Settings…" : "Allow…";
      break;
    case SystemPermission::finderAutomation:
      row.buttonTitle = "Allow…";
      break;
  }
  return row;
}

std::vector<PermissionRow> PermissionRows::rows(const PermissionCheck& check) const {
  std::vector<PermissionRow> result;
  for (const SystemPermission permission : allCases<SystemPermission>()) {
    result.push_back(row(permission, check));
  }
  return result;
}

void PermissionRows::press(SystemPermission permission) {
  if (permission == SystemPermission::screenRecording && screenRecordingRequested_) {
    permissions_.openSettings(permission);
    return;
  }
  if (permission == SystemPermission::screenRecording) {
    screenRecordingRequested_ = true;
  }
  permissions_.request(permission);
}

Subscription PermissionRows::watch(Scheduler& scheduler,
                                   std::function<void(const std::vector<PermissionRow>&)> changed) {
  // What the rows were last drawn from, shared with the timer's task.
  using Drawn = std::pair<PermissionCheck, bool>;
  auto last = std::make_shared<std::optional<Drawn>>();
  auto refresh = [this, last, changed = std::move(changed)] {
    Drawn now{check(), screenRecordingRequested_};
    if (*last == now) {
      return;
    }
    *last = std::move(now);
    changed(rows((*last)->first));
  };
  refresh();
  return scheduler.every(Scheduler::Seconds(refreshInterval), refresh);
}

}  // namespace quayline
