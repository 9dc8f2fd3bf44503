#pragma once

#include <functional>
#include <memory>

namespace quayline {

// A callback once per refresh of the display a view is on, on the main thread, while the link
// is not paused. Dropping the link stops it for good.
class DisplayLink {
 public:
  virtual ~DisplayLink() = default;
  virtual void setPaused(bool paused) = 0;
  virtual bool isPaused() const = 0;
};

// Makes the link of one view; the step runs on each refresh while it is unpaused. A new link
// starts paused.
using DisplayLinkFactory = std::function<std::unique_ptr<DisplayLink>(std::function<void()> step)>;

}  // namespace quayline
