#pragma once

namespace quayline {

// The hop of a launching tile's icon. The offset is a pure function of the wall clock, so every
// bouncing tile on every dock is in step and no tile keeps animation state.
struct TileBounce {
  static constexpr double period = 0.84;  // one hop up and down, in seconds

  bool active = false;
  double height = 0;  // points at the top of the hop

  // Whether the icon moves at all, i.e. needs a redraw on every display frame.
  bool animates() const { return active && height > 0; }

  // How far the icon is lifted, in points, at `wallClock` (Unix seconds).
  double offset(double wallClock) const;

  // The hop's shape between 0 (down) and 1 (top): a triangle over the period, smoothstepped.
  static double lift(double wallClock);

  bool operator==(const TileBounce&) const = default;
};

}  // namespace quayline
