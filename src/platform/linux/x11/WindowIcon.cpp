#include "platform/linux/x11/WindowIcon.h"

#include <string_view>

#include "foundation/Fnv.h"
#include "platform/linux/x11/XReply.h"

namespace quayline::x11 {

namespace {

// A few sizes up to 1024 pixels square fit; anything longer is cut off and its last image
// dropped as truncated.
constexpr std::uint32_t kMaxPropertyLength = 2 * kMaxWindowIconSide * kMaxWindowIconSide;

// openbox writes its compiled-in 48 × 48 default icon onto every window that has none, for
// pagers to show; it is the window manager's, not the application's. Known by its pixels.
constexpr std::uint32_t kOpenboxDefaultIconHash = 0xc1e20a43;

bool isWindowManagersDefault(const std::vector<ArgbImage>& images) {
  if (images.size() != 1 || images[0].width != 48 || images[0].height != 48) {
    return false;
  }
  const std::string_view bytes(reinterpret_cast<const char*>(images[0].pixels.data()),
                               images[0].pixels.size() * sizeof(std::uint32_t));
  return fnv1a32(bytes) == kOpenboxDefaultIconHash;
}

}  // namespace

std::vector<ArgbImage> parseWindowIcons(std::span<const std::uint32_t> values) {
  std::vector<ArgbImage> images;
  std::size_t at = 0;
  while (values.size() - at >= 2) {
    const std::uint32_t width = values[at];
    const std::uint32_t height = values[at + 1];
    if (width == 0 || height == 0 || width > kMaxWindowIconSide || height > kMaxWindowIconSide) {
      break;
    }
    const std::size_t count = std::size_t{width} * height;
    at += 2;
    if (values.size() - at < count) {
      break;
    }
    ArgbImage image;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.pixels.assign(values.begin() + static_cast<std::ptrdiff_t>(at),
                        values.begin() + static_cast<std::ptrdiff_t>(at + count));
    images.push_back(std::move(image));
    at += count;
  }
  return images;
}

std::vector<ArgbImage> readWindowIcons(XConnection& connection,
                                       const std::vector<xcb_window_t>& windows,
                                       Deadline deadline) {
  std::vector<unsigned int> sequences;
  for (const xcb_window_t window : windows) {
    sequences.push_back(xcb_get_property(connection.raw(), 0, window,
                                         connection.atom(Atom::_NET_WM_ICON), XCB_ATOM_CARDINAL, 0,
                                         kMaxPropertyLength)
                            .sequence);
  }
  connection.flush();
  std::vector<ArgbImage> found;
  for (const unsigned int sequence : sequences) {
    XReply<xcb_generic_error_t> error;
    auto reply = connection.take<xcb_get_property_reply_t>(sequence, deadline, &error);
    if (!found.empty() || !reply || reply->format != 32) {
      continue;  // every reply is still taken, so none is left behind in libxcb
    }
    const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    const auto length = static_cast<std::size_t>(xcb_get_property_value_length(reply.get())) / 4;
    found = parseWindowIcons(std::span(data, length));
    if (isWindowManagersDefault(found)) {
      found.clear();
    }
  }
  return found;
}

}  // namespace quayline::x11
