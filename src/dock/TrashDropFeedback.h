#pragma once

namespace quayline {

// What the Trash does after items were dropped on its tile: the drop sound when every item went
// in, and a fresh look at its contents either way.
class TrashDropFeedback {
 public:
  virtual ~TrashDropFeedback() = default;
  virtual void playDropSound() = 0;
  virtual void refresh() = 0;
};

}  // namespace quayline
