#pragma once

#include "foundation/Signal.h"
#include "platform/PointerMotion.h"

namespace quayline {

// Pointer motion delivered by the test with `moved()`. With `unavailable` set, observing fails
// as it does on a window system that cannot report motion.
class FakePointerMotion final : public PointerMotion {
 public:
  Subscription observeMotion(std::function<void()> observer) override {
    if (unavailable) {
      return {};
    }
    return motion_.connect(std::move(observer));
  }

  Subscription observePresses(std::function<void(Press)> observer) override {
    if (unavailable) {
      return {};
    }
    return presses_.connect(std::move(observer));
  }

  void moved() { motion_.emit(); }
  void pressed(Press press) { presses_.emit(press); }
  std::size_t observers() const { return motion_.connectionCount(); }
  std::size_t pressObservers() const { return presses_.connectionCount(); }

  bool unavailable = false;

 private:
  Signal<> motion_;
  Signal<Press> presses_;
};

}  // namespace quayline
