#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <span>
#include <vector>

#include "platform/ArgbImage.h"
#include "platform/linux/x11/XConnection.h"

namespace quayline::x11 {

// The largest side of a window icon taken; a bigger one is a broken property, not an icon.
constexpr std::uint32_t kMaxWindowIconSide = 1024;

// The images of a _NET_WM_ICON value: width, height and width × height ARGB pixels, repeated.
// Reading stops at an image with a side of 0 or above kMaxWindowIconSide, or one cut short.
std::vector<ArgbImage> parseWindowIcons(std::span<const std::uint32_t> values);

// The icons the windows carry, of the first window that has any of its own (not one the window
// manager put there); one round trip for all.
std::vector<ArgbImage> readWindowIcons(XConnection& connection,
                                       const std::vector<xcb_window_t>& windows, Deadline deadline);

}  // namespace quayline::x11
