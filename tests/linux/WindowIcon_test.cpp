#include "platform/linux/x11/WindowIcon.h"

#include <gtest/gtest.h>

namespace quayline::x11 {
namespace {

std::vector<std::uint32_t> image(std::uint32_t width, std::uint32_t height, std::uint32_t argb) {
  std::vector<std::uint32_t> values{width, height};
  values.resize(2 + std::size_t{width} * height, argb);
  return values;
}

std::vector<std::uint32_t> joined(std::initializer_list<std::vector<std::uint32_t>> parts) {
  std::vector<std::uint32_t> all;
  for (const auto& part : parts) {
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

std::vector<int> widths(const std::vector<std::uint32_t>& values) {
  std::vector<int> result;
  for (const ArgbImage& parsed : parseWindowIcons(values)) {
    EXPECT_EQ(parsed.pixels.size(), std::size_t(parsed.width) * parsed.height);
    result.push_back(parsed.width);
  }
  return result;
}

TEST(WindowIcon, TakesEveryWholeImageAndStopsAtNonsense) {
  const auto two = joined({image(16, 16, 0xFF0000FF), image(2, 3, 0x80FFFFFF)});
  EXPECT_EQ(widths(two), (std::vector<int>{16, 2}));
  EXPECT_EQ(parseWindowIcons(two)[1].pixels[0], 0x80FFFFFFu);

  auto cut = two;
  cut.resize(cut.size() - 1);
  EXPECT_EQ(widths(cut), (std::vector<int>{16})) << "a truncated image is dropped";
  EXPECT_EQ(widths(joined({image(16, 16, 0), {0xFFFFFFFF, 0xFFFFFFFF, 1, 2}})),
            (std::vector<int>{16}))
      << "an absurd size ends the list";
  EXPECT_EQ(widths(joined({{0, 5}, image(8, 8, 0)})), (std::vector<int>{}));
  EXPECT_EQ(widths({16}), (std::vector<int>{}));
  EXPECT_EQ(widths({}), (std::vector<int>{}));
}

}  // namespace
}  // namespace quayline::x11
