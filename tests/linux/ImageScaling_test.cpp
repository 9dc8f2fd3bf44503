#include <gtest/gtest.h>

#include "platform/linux/x11/ImageResampling.h"
#include "platform/linux/x11/RenderScaling.h"

namespace quayline::x11 {
namespace {

TEST(ImageScaling, StepsHalveUntilWithinTwiceTheTargetThenReachItExactly) {
  struct Row {
    PixelSize from, to;
    std::vector<PixelSize> steps;
  };
  const std::vector<Row> rows{
      {{1420, 992}, {384, 240}, {{710, 496}, {710, 248}, {384, 240}}},
      // Odd sides round up, so no step reads past the source's edge.
      {{1421, 993}, {355, 248}, {{711, 497}, {356, 249}, {355, 248}}},
      // Each side halves only while it is more than twice its target.
      {{2000, 100}, {100, 100}, {{1000, 100}, {500, 100}, {250, 100}, {125, 100}, {100, 100}}},
      {{8000, 8000}, {1, 1}, {}},
      {{300, 200}, {600, 400}, {{600, 400}}},
      {{300, 200}, {300, 200}, {{300, 200}}},
  };
  for (const Row& row : rows) {
    const auto steps = scalingSteps(row.from, row.to);
    if (!row.steps.empty()) {
      EXPECT_EQ(steps, row.steps) << row.from.width << "×" << row.from.height;
    }
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.back(), row.to);
    PixelSize previous = row.from;
    for (const PixelSize step : steps) {
      EXPECT_LE(previous.width, 2 * step.width);
      EXPECT_LE(previous.height, 2 * step.height);
      previous = step;
    }
  }
}

TEST(ImageScaling, ResamplingAveragesWhatEachPixelCoversAndKeepsTheExactSize) {
  // A 4×2 image: a 2×2 block of opaque white, then a 2×2 block of half-transparent black.
  WindowImage image{4,
                    2,
                    {0xffffffff, 0xffffffff, 0x80000000, 0x80000000,  //
                     0xffffffff, 0xffffffff, 0x80000000, 0x80000000}};
  const auto halved = resampled(image, PixelSize{2, 1});
  ASSERT_NE(halved, nullptr);
  EXPECT_EQ(halved->pixels, (std::vector<std::uint32_t>{0xffffffff, 0x80000000}));
  const auto mixed = resampled(image, PixelSize{1, 1});
  EXPECT_EQ(mixed->pixels, (std::vector<std::uint32_t>{0xc0808080}));
  const auto enlarged = resampled(image, PixelSize{8, 3});
  EXPECT_EQ(enlarged->width, 8);
  EXPECT_EQ(enlarged->pixels.size(), 24u);
  EXPECT_EQ(enlarged->pixels[23], 0x80000000u);
  EXPECT_EQ(resampled(image, PixelSize{0, 3}), nullptr);

  EXPECT_EQ(fittedWithin(PixelSize{1420, 992}, 512), (PixelSize{512, 357}));
  EXPECT_EQ(fittedWithin(PixelSize{300, 8000}, 512), (PixelSize{19, 512}));
  EXPECT_EQ(fittedWithin(PixelSize{300, 200}, 512), (PixelSize{300, 200}));
}

}  // namespace
}  // namespace quayline::x11
