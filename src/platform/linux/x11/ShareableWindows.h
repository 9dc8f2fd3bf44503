#pragma once

#include "foundation/Geometry.h"
#include "platform/WindowCapture.h"
#include "platform/linux/x11/Conversions.h"
#include "platform/linux/x11/XConnection.h"

namespace quayline::x11 {

// The window manager's clients in its client list's order, each with the rectangle a capture
// shows (the client area, without the manager's frame) in points of the global top-left space;
// this process's own windows left out. Two round trips; why nothing could be listed otherwise.
WindowCapture::Content readShareableWindows(XConnection& connection, const PixelSpace& space,
                                            Deadline deadline);

}  // namespace quayline::x11
