#include "platform/linux/LinuxPrivacyPermissions.h"

#include <chrono>
#include <utility>

#include "platform/linux/HomeAccessChecks.h"
#include "platform/linux/x11/X11SessionChecks.h"

namespace quayline {

namespace {

// The checks run on the main thread once a second while a permissions view shows.
constexpr auto kServerTimeout = std::chrono::milliseconds(500);

constexpr const char* kUntrusted =
    "Quayline's connection to the X server is untrusted, so the server keeps other apps' windows "
    "and the screen from it. Start Quayline from your desktop session.";

}  // namespace

LinuxPrivacyPermissions::LinuxPrivacyPermissions(x11::XConnection& connection, Places places)
    : connection_(connection), places_(std::move(places)) {}

PermissionCheck LinuxPrivacyPermissions::check() {
  const x11::SessionFacts facts =
      x11::readSessionFacts(connection_, std::chrono::steady_clock::now() + kServerTimeout);
  PermissionCheck result;
  const auto settle = [&](SystemPermission permission, bool granted, std::string reason) {
    if (granted) {
      result.granted.insert(permission);
    } else {
      result.reasons.emplace(permission, std::move(reason));
    }
  };

  std::string whyNot;
  if (facts.untrusted) {
    whyNot = kUntrusted;
  } else if (places_.waylandSession || facts.xwayland) {
    whyNot = "This is a Wayland session: Quayline sees other apps' windows only on an X11 desktop.";
  } else if (!facts.windowManagerAnswers) {
    whyNot = "No window manager is running. Start one and this turns on by itself.";
  } else if (!facts.windowManagerListsWindows) {
    whyNot = "The window manager does not list its windows (EWMH), so Quayline cannot see them.";
  }
  settle(SystemPermission::accessibility, whyNot.empty(), whyNot);
  settle(SystemPermission::screenRecording, facts.rootImageReadable,
         facts.untrusted ? kUntrusted : "The X server does not let Quayline read the screen.");
  settle(SystemPermission::fullDiskAccess, HomeAccessChecks::homeReadable(places_.flatpakInfo),
         "Quayline runs in a sandbox without access to your home folder.");
  settle(SystemPermission::finderAutomation, HomeAccessChecks::trashWritable(places_.homeTrash),
         "The Trash folder " + places_.homeTrash.string() + " cannot be written to.");
  return result;
}

}  // namespace quayline
