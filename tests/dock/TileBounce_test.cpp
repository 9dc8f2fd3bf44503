#include "dock/TileBounce.h"

#include <gtest/gtest.h>

namespace quayline {
namespace {

// A wall-clock instant at the start of a hop (1 January 2001 plus a whole number of periods).
constexpr double hopStart = 978'307'200 + 1'000'000 * TileBounce::period;

TEST(TileBounce, HopsOncePerPeriodWithASmoothstepTriangle) {
  struct Row {
    double intoHop;
    double lift;
  };
  for (const auto& row : {Row{0, 0}, Row{0.105, 0.15625}, Row{0.21, 0.5}, Row{0.42, 1},
                          Row{0.63, 0.5}, Row{0.84, 0}}) {
    EXPECT_NEAR(TileBounce::lift(hopStart + row.intoHop), row.lift, 1e-6) << row.intoHop;
  }
}

TEST(TileBounce, OnlyAnActiveBounceWithHeightMovesTheIcon) {
  const double quarter = hopStart + 0.21;
  EXPECT_NEAR((TileBounce{true, 6}.offset(quarter)), 3, 1e-6);
  EXPECT_EQ((TileBounce{false, 6}.offset(quarter)), 0);
  EXPECT_EQ((TileBounce{true, 0}.offset(quarter)), 0);
  EXPECT_FALSE((TileBounce{true, -1}.animates()));
  // Before the reference date the hop still runs forward from 0.
  EXPECT_NEAR(TileBounce::lift(978'307'200 - TileBounce::period + 0.21), 0.5, 1e-6);
}

}  // namespace
}  // namespace quayline
