#pragma once

#include <functional>

#include "foundation/Subscription.h"

namespace quayline {

// Pointer movement anywhere on the desktop (moves and drags with any button), observed without
// taking the pointer from other programs.
class PointerMotion {
 public:
  virtual ~PointerMotion() = default;
  // Called on the main thread after the pointer moved; the position is read from Displays. An
  // empty subscription when the window system cannot report motion.
  virtual Subscription observeMotion(std::function<void()> observer) = 0;
};

}  // namespace quayline
