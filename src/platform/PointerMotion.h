#pragma once

#include <functional>

#include "foundation/Subscription.h"

namespace quayline {

// Pointer movement anywhere on the desktop (moves and drags with any button), and presses of a
// mouse button or of Escape, observed without taking the pointer or the keyboard from other
// programs.
class PointerMotion {
 public:
  enum class Press { mouseButton, escape };

  virtual ~PointerMotion() = default;
  // Called on the main thread after the pointer moved; the position is read from Displays. An
  // empty subscription when the window system cannot report motion.
  virtual Subscription observeMotion(std::function<void()> observer) = 0;
  // Called on the main thread after any mouse button or Escape went down, in whichever window;
  // the pointer's position is read from Displays. Watched only while someone observes. An empty
  // subscription when the window system cannot report presses.
  virtual Subscription observePresses(std::function<void(Press)> observer) = 0;
};

}  // namespace quayline
