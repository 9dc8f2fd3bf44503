#pragma once

#include "foundation/Geometry.h"
#include "platform/Displays.h"

namespace quayline {

// What the window reservation needs of one dock window: where it sits and a way to take it off
// the screen while a maximized window covers it.
class ReservingDock {
 public:
  virtual ~ReservingDock() = default;

  // Both in the application framework's space (bottom-left origin, y up).
  virtual const Screen& screen() const = 0;
  // The panel's frame without magnification.
  virtual const Rect& restingFrame() const = 0;

  virtual bool suppressed() const = 0;
  // Ordering the panel out (true) or back to the front (false) goes with the flag, so the two
  // never disagree.
  virtual void setSuppressed(bool suppressed) = 0;
};

}  // namespace quayline
