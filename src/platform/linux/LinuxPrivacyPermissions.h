#pragma once

#include <filesystem>

#include "platform/PrivacyPermissions.h"

namespace quayline {

namespace x11 {
class XConnection;
}

// The permissions as an X11 desktop has them. Nothing here can be granted by a prompt or a
// settings page: each check tests what the feature needs, and a permission that is not granted
// carries the reason instead.
//   accessibility: an EWMH window manager answers, the session is not Wayland, and the connection
//     is trusted;
//   screen recording: a 1×1 image of the root can be read;
//   full-disk access: the home folder is reachable (no sandbox without it);
//   Finder automation: the home trash can be written to or created.
class LinuxPrivacyPermissions final : public PrivacyPermissions {
 public:
  struct Places {
    std::filesystem::path homeTrash;  // "$XDG_DATA_HOME/Trash"
    std::filesystem::path flatpakInfo = "/.flatpak-info";
    // The desktop session says it is Wayland (WAYLAND_DISPLAY, XDG_SESSION_TYPE), whatever the
    // X server says.
    bool waylandSession = false;
  };

  LinuxPrivacyPermissions(x11::XConnection& connection, Places places);

  PermissionCheck check() override;
  // No prompt or settings page exists on Linux; the rows show the reason instead of a button.
  void request(SystemPermission) override {}
  void openSettings(SystemPermission) override {}

 private:
  x11::XConnection& connection_;
  Places places_;
};

}  // namespace quayline
