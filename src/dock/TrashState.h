#pragma once

#include <functional>

#include "foundation/Subscription.h"

namespace quayline {

// The user's trash as the dock's Trash tile sees it: whether it holds anything, and what the
// tile asks of it.
class TrashState {
 public:
  virtual ~TrashState() = default;
  virtual bool isFull() const = 0;
  virtual Subscription observeTrash(std::function<void()> observer) = 0;
  virtual void openTrash() = 0;
  // Erases the trashed items without asking; callers confirm first.
  virtual void emptyTrash() = 0;
};

}  // namespace quayline
