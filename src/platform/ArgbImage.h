#pragma once

#include <cstdint>
#include <vector>

namespace quayline {

// A bitmap handed across a port: rows top to bottom, each pixel 0xAARRGGBB, not premultiplied.
struct ArgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // width × height

  bool operator==(const ArgbImage&) const = default;
};

}  // namespace quayline
