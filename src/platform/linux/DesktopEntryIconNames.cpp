#include "platform/linux/DesktopEntryIconNames.h"

#include <gio/gdesktopappinfo.h>

namespace quayline {

std::optional<std::string> DesktopEntryIconNames::iconName(const std::string& applicationPath) {
  GDesktopAppInfo* info = g_desktop_app_info_new_from_filename(applicationPath.c_str());
  if (info == nullptr) {
    return std::nullopt;
  }
  std::optional<std::string> result;
  if (char* icon = g_desktop_app_info_get_string(info, "Icon")) {
    if (icon[0] != '\0') {
      result = icon;
    }
    g_free(icon);
  }
  g_object_unref(info);
  return result;
}

std::optional<std::string> DesktopEntryIconNames::standInIconName(
    std::string_view bundleIdentifier) {
  // The file managers this desktop may have all answer to the Finder's identifier (see
  // DesktopEntryIdentity); without one, the theme's generic icon stands for it.
  if (bundleIdentifier == "com.apple.finder") {
    return "system-file-manager";
  }
  return std::nullopt;
}

}  // namespace quayline
