#pragma once

#include <functional>

#include "foundation/Subscription.h"

namespace quayline {

// Keys taken from whichever window has the keyboard focus, for as long as someone holds the
// subscription: the focused program never sees them.
class KeyInterception {
 public:
  virtual ~KeyInterception() = default;
  // Called on the main thread for every press of Escape, with any lock key on. An empty
  // subscription when the key cannot be taken (another program holds it).
  virtual Subscription interceptEscape(std::function<void()> pressed) = 0;
};

}  // namespace quayline
