#pragma once

#include "foundation/Geometry.h"
#include "platform/WindowCapture.h"
#include "platform/linux/x11/XConnection.h"

namespace quayline::x11 {

// The window manager's clients in its client list's order, each with its frame in the global
// top-left space (whose origin is `primaryOrigin` in root coordinates); this process's own
// windows left out. Two round trips; why nothing could be listed otherwise.
WindowCapture::Content readShareableWindows(XConnection& connection, Point primaryOrigin,
                                            Deadline deadline);

}  // namespace quayline::x11
