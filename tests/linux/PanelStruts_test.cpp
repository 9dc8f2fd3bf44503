#include "platform/linux/x11/PanelStruts.h"

#include <gtest/gtest.h>

namespace quayline::x11 {
namespace {

// Two 1280×800 screens side by side under a 2560×800 root.
const Rect kRoot(0, 0, 2560, 800);
const Rect kLeft(0, 0, 1280, 800);
const Rect kRight(1280, 0, 1280, 800);

Strut partial(std::array<std::uint32_t, 12> values) {
  return *Strut::fromPartial(values);
}

TEST(PanelStrutsTest, StripsCountOnTheScreensTheyOverlap) {
  const Strut bottomOfLeft = partial({0, 0, 0, 40, 0, 0, 0, 0, 0, 0, 0, 1279});
  const Strut topOfBoth = partial({0, 0, 24, 0, 0, 0, 0, 0, 0, 2559, 0, 0});
  const Strut rightBelowTheScreens = partial({0, 20, 0, 0, 0, 0, 900, 1000, 0, 0, 0, 0});
  const Strut fullBottom = *Strut::fromFull(std::array<std::uint32_t, 4>{0, 0, 0, 30});
  struct Row {
    Rect screen;
    std::vector<Strut> struts;
    Rect expected;
  };
  const Row rows[] = {
      {kLeft, {}, kLeft},
      {kLeft, {bottomOfLeft}, Rect(0, 0, 1280, 760)},
      {kRight, {bottomOfLeft}, kRight},
      {kRight, {topOfBoth, bottomOfLeft}, Rect(1280, 24, 1280, 776)},
      {kLeft, {bottomOfLeft, fullBottom}, Rect(0, 0, 1280, 760)},  // the taller one wins
      {kRight, {fullBottom}, Rect(1280, 0, 1280, 770)},
      {kRight, {rightBelowTheScreens}, kRight},
      // More than half the screen is no panel.
      {kLeft, {partial({0, 0, 0, 500, 0, 0, 0, 0, 0, 0, 0, 1279})}, kLeft},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(unreservedArea(row.screen, kRoot, row.struts), row.expected) << row.screen;
  }
}

TEST(PanelStrutsTest, PropertiesOfTheWrongLengthOrReservingNothingAreNoStrut) {
  EXPECT_FALSE(Strut::fromPartial(std::vector<std::uint32_t>(11, 5)));
  EXPECT_FALSE(Strut::fromPartial(std::vector<std::uint32_t>(12, 0)));
  EXPECT_FALSE(Strut::fromFull(std::vector<std::uint32_t>{}));
  EXPECT_FALSE(Strut::fromFull(std::vector<std::uint32_t>(4, 0)));
  // An end before its start reserves nothing along that edge.
  EXPECT_EQ(unreservedArea(kLeft, kRoot, {partial({0, 0, 0, 40, 0, 0, 0, 0, 0, 0, 900, 100})}),
            kLeft);
}

}  // namespace
}  // namespace quayline::x11
