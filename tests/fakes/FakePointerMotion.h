#pragma once

#include "foundation/Signal.h"
#include "platform/PointerMotion.h"

namespace quayline {

// Pointer motion delivered by the test with `moved()`. With `unavailable` set, observing fails
// as it does on a window system that cannot report motion.
class FakePointerMotion final : public PointerMotion {
 public:
  Subscription observeMotion(std::function<void()> observer) override {
    ++observeCalls;
    if (unavailable) {
      return {};
    }
    return motion_.connect(std::move(observer));
  }

  void moved() { motion_.emit(); }
  std::size_t observers() const { return motion_.connectionCount(); }

  bool unavailable = false;
  int observeCalls = 0;

 private:
  Signal<> motion_;
};

}  // namespace quayline
