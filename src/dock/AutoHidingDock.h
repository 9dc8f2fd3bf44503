#pragma once

#include "foundation/Geometry.h"
#include "platform/Displays.h"

namespace quayline {

// What auto-hide needs of a dock window: where it rests, on which screen, and whether it is
// slid down. The window animates itself to its hidden or shown frame.
class AutoHidingDock {
 public:
  virtual ~AutoHidingDock() = default;
  virtual const Screen& screen() const = 0;
  virtual const Rect& restingFrame() const = 0;
  virtual bool isAutoHidden() const = 0;
  virtual void setAutoHidden(bool hidden, bool animated) = 0;
};

}  // namespace quayline
