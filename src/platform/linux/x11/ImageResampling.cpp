#include "platform/linux/x11/ImageResampling.h"

#include <algorithm>
#include <array>

namespace quayline::x11 {

namespace {

// The source span [first, last) under target index `i` of `targetLength`.
std::pair<int, int> span(int i, int sourceLength, int targetLength) {
  const auto first = static_cast<int>(static_cast<long long>(i) * sourceLength / targetLength);
  const auto last = static_cast<int>(static_cast<long long>(i + 1) * sourceLength / targetLength);
  return {first, std::max(first + 1, last)};
}

}  // namespace

PixelSize fittedWithin(PixelSize size, int longSide) {
  const int longest = std::max(size.width, size.height);
  if (longest <= longSide) {
    return size;
  }
  const auto scaled = [&](int side) {
    return std::max(1, static_cast<int>(static_cast<long long>(side) * longSide / longest));
  };
  return PixelSize{scaled(size.width), scaled(size.height)};
}

WindowImageRef resampled(const WindowImage& image, PixelSize size) {
  if (size.width <= 0 || size.height <= 0 || image.width <= 0 || image.height <= 0 ||
      image.pixels.size() != static_cast<std::size_t>(image.width) * image.height) {
    return nullptr;
  }
  auto result = std::make_shared<WindowImage>();
  result->width = size.width;
  result->height = size.height;
  result->pixels.resize(static_cast<std::size_t>(size.width) * size.height);
  for (int y = 0; y < size.height; ++y) {
    const auto [top, bottom] = span(y, image.height, size.height);
    for (int x = 0; x < size.width; ++x) {
      const auto [left, right] = span(x, image.width, size.width);
      std::array<std::uint64_t, 4> sums{};
      for (int sy = top; sy < bottom; ++sy) {
        const std::uint32_t* row = &image.pixels[static_cast<std::size_t>(sy) * image.width];
        for (int sx = left; sx < right; ++sx) {
          for (int channel = 0; channel < 4; ++channel) {
            sums[channel] += (row[sx] >> (8 * channel)) & 0xff;
          }
        }
      }
      const auto count = static_cast<std::uint64_t>(bottom - top) * (right - left);
      std::uint32_t pixel = 0;
      for (int channel = 0; channel < 4; ++channel) {
        pixel |= static_cast<std::uint32_t>((sums[channel] + count / 2) / count) << (8 * channel);
      }
      result->pixels[static_cast<std::size_t>(y) * size.width + x] = pixel;
    }
  }
  return result;
}

}  // namespace quayline::x11
