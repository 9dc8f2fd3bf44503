#pragma once

#include <utility>

#include "foundation/Signal.h"

namespace quayline {

// A value that tells its observers when it really changes. Assigning an equal value publishes
// nothing, so an unchanged recomputation costs observers no work.
template <typename T>
class Published {
 public:
  Published() = default;
  explicit Published(T initial) : value_(std::move(initial)) {}

  const T& get() const { return value_; }
  operator const T&() const { return value_; }

  // Returns whether the value changed (and was published).
  bool set(T value) {
    if (value == value_) {
      return false;
    }
    value_ = std::move(value);
    changed_.emit(value_);
    return true;
  }

  // Observers get the new value after every real change.
  Subscription observe(typename Signal<T>::Callback callback) {
    return changed_.connect(std::move(callback));
  }

 private:
  T value_{};
  Signal<T> changed_;
};

}  // namespace quayline
