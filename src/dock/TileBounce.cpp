#include "dock/TileBounce.h"

#include <cmath>

namespace quayline {

namespace {

// The phase is counted from 1 January 2001, the reference date of the timeline the hop was
// designed against, so docks of both platforms hop at the same instants.
constexpr double referenceDate = 978'307'200;

}  // namespace

double TileBounce::lift(double wallClock) {
  double phase = std::fmod(wallClock - referenceDate, period) / period;
  if (phase < 0) {
    phase += 1;  // a clock before the reference date
  }
  const double v = 2 * (phase < 0.5 ? phase : 1 - phase);
  return v * v * (3 - 2 * v);
}

double TileBounce::offset(double wallClock) const {
  return animates() ? height * lift(wallClock) : 0;
}

}  // namespace quayline
