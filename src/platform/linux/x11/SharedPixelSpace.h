#pragma once

#include <mutex>

#include "platform/linux/x11/Conversions.h"

namespace quayline::x11 {

// The screens' pixel space as the main thread last saw it, for adapters that convert window
// geometry on other threads (the window registry reads accessibility on its own queue).
class SharedPixelSpace {
 public:
  explicit SharedPixelSpace(PixelSpace initial = {}) : space_(std::move(initial)) {}

  PixelSpace get() const {
    std::lock_guard lock(mutex_);
    return space_;
  }
  void set(PixelSpace space) {
    std::lock_guard lock(mutex_);
    space_ = std::move(space);
  }

 private:
  mutable std::mutex mutex_;
  PixelSpace space_;
};

}  // namespace quayline::x11
