#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Displays.h"

namespace quayline {

// One dock window as the application shell sees it.
class DockWindow {
 public:
  virtual ~DockWindow() = default;
  virtual const Screen& screen() const = 0;
  // A reused window moves to its (possibly new) screen, re-applies its frame and comes front.
  virtual void moveToScreen(const Screen& screen) = 0;
  // First appearance of a new window.
  virtual void show() = 0;
  // The window goes out of sight for good; it is dropped right after.
  virtual void retire() = 0;
};

// Which old window serves which target screen.
struct DockAssignment {
  // Per target screen, in target order: the index of the old window it reuses, or nothing for a
  // new window.
  std::vector<std::optional<std::size_t>> reused;
  // Old windows left over, in their order.
  std::vector<std::size_t> retired;
  bool operator==(const DockAssignment&) const = default;
};

// First every target takes the old window of the same display number; then every target still
// without one takes the first remaining old window, in the old order.
DockAssignment assignDockWindows(const std::vector<DisplayNumber>& old,
                                 const std::vector<DisplayNumber>& targets);

// The dock windows, one per target screen, in target order.
class DockWindowList {
 public:
  using Factory = std::function<std::unique_ptr<DockWindow>(const Screen&)>;
  explicit DockWindowList(Factory factory) : factory_(std::move(factory)) {}

  // Reuses, creates and retires windows so that exactly `targets` have one.
  void rebuild(const std::vector<Screen>& targets);
  const std::vector<std::unique_ptr<DockWindow>>& windows() const { return windows_; }

 private:
  Factory factory_;
  std::vector<std::unique_ptr<DockWindow>> windows_;
};

}  // namespace quayline
