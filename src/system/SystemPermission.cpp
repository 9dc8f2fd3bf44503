#include "system/SystemPermission.h"

#include <string>

namespace quayline::SystemPermissionText {

std::string_view title(SystemPermission permission) {
  switch (permission) {
    case SystemPermission::accessibility:
      return "Accessibility";
    case SystemPermission::screenRecording:
      return "Screen Recording";
    case SystemPermission::fullDiskAccess:
      return "Full Disk Access";
    case SystemPermission::finderAutomation:
      return "Finder";
  }
  return {};
}

std::string_view description(SystemPermission permission) {
  switch (permission) {
    case SystemPermission::accessibility:
      return "Sees other apps' windows for window lists, previews and Chrome profile icons.";
    case SystemPermission::screenRecording:
      return "Shows window previews and switcher thumbnails.";
    case SystemPermission::fullDiskAccess:
      return "Shows the contents of pinned folders that macOS protects.";
    case SystemPermission::finderAutomation:
      return "Lets the dock ask the Finder to empty the Trash.";
  }
  return {};
}

std::string_view settingsAnchor(SystemPermission permission) {
  switch (permission) {
    case SystemPermission::accessibility:
      return "Privacy_Accessibility";
    case SystemPermission::screenRecording:
      return "Privacy_ScreenCapture";
    case SystemPermission::fullDiskAccess:
      return "Privacy_AllFiles";
    case SystemPermission::finderAutomation:
      return "Privacy_Automation";
  }
  return {};
}

std::string settingsURL(SystemPermission permission) {
  return "x-apple.systempreferences:com.apple.preference.security?" +
         std::string(settingsAnchor(permission));
}

}  // namespace quayline::SystemPermissionText
