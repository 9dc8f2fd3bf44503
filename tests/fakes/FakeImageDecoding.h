#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "chrome/ResourcePack.h"
#include "platform/ImageDecoding.h"

namespace quayline {

// Decodes the PNG headers the tests generate: a bitmap of the header's size filled with the
// first byte after it (opaque grey of that level), or nothing for other bytes and pictures over
// the size limit. Counts the calls, so tests see what was decoded again.
class FakeImageDecoding final : public ImageDecoding {
 public:
  std::optional<ArgbImage> decode(std::string_view bytes) override {
    ++decodes;
    const auto size = pngPixelSize(bytes);
    if (!size || size->width > kMaximumSide || size->height > kMaximumSide) {
      return std::nullopt;
    }
    const std::uint32_t level = bytes.size() > 24 ? static_cast<unsigned char>(bytes[24]) : 0;
    ArgbImage image;
    image.width = static_cast<int>(size->width);
    image.height = static_cast<int>(size->height);
    image.pixels.assign(static_cast<std::size_t>(image.width) * size->height,
                        0xFF000000u | level << 16 | level << 8 | level);
    return image;
  }

  int decodes = 0;
};

// The start of a PNG file: its signature and an image header of the given size, then `tag`.
inline std::string pngHeader(std::uint32_t width, std::uint32_t height, char tag = 0) {
  std::string bytes("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
  for (std::uint32_t value : {width, height}) {
    for (int shift = 24; shift >= 0; shift -= 8) {
      bytes += static_cast<char>((value >> shift) & 0xFF);
    }
  }
  bytes += tag;
  return bytes;
}

}  // namespace quayline
