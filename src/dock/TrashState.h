#pragma once

#include <functional>

#include "foundation/Subscription.h"

namespace quayline {

// Whether the user's trash holds anything, as the trash service reports it.
class TrashState {
 public:
  virtual ~TrashState() = default;
  virtual bool isFull() const = 0;
  virtual Subscription observeTrash(std::function<void()> observer) = 0;
};

}  // namespace quayline
