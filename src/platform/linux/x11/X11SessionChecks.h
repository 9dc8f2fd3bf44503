#pragma once

#include "platform/linux/x11/XConnection.h"

namespace quayline::x11 {

// What the X server says about the session, as far as Quayline's permissions go.
struct SessionFacts {
  // The root names a check window whose own check property names itself: a window manager
  // runs. A manager that died leaves the root naming a window that is gone.
  bool windowManagerAnswers = false;
  // The manager lists the client windows and the active one (EWMH).
  bool windowManagerListsWindows = false;
  // The server is Xwayland: windows of Wayland clients are out of its reach.
  bool xwayland = false;
  // A 1×1 image of the root could be read.
  bool rootImageReadable = false;
  // The server refused that read as access denied: this connection is untrusted (the SECURITY
  // extension's untrusted clients), so requests made on the user's behalf are dropped too.
  bool untrusted = false;

  bool operator==(const SessionFacts&) const = default;
};

// Two round trips at most; a server that does not answer by `deadline` grants nothing.
SessionFacts readSessionFacts(XConnection& connection, Deadline deadline);

}  // namespace quayline::x11
