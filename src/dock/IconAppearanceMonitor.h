#pragma once

#include <string>
#include <string_view>

#include "foundation/Signal.h"
#include "foundation/Subscription.h"

namespace quayline {

class DesktopAppearance;
class Scheduler;

// Watches the desktop's icon style and announces a change, so cached icons are thrown away and
// tiles redraw theirs.
class IconAppearanceMonitor {
 public:
  static constexpr std::string_view notificationName = "quayline.iconAppearanceDidChange";
  static constexpr double pollInterval = 1.5;

  IconAppearanceMonitor(DesktopAppearance& desktop, Scheduler& scheduler);
  IconAppearanceMonitor(const IconAppearanceMonitor&) = delete;
  IconAppearanceMonitor& operator=(const IconAppearanceMonitor&) = delete;

  const std::string& lastIconTheme() const { return lastIconTheme_; }

  // "quayline.iconAppearanceDidChange": posted once per change of the icon style.
  Subscription observeIconAppearance(std::function<void()> observer) {
    return didChange_.connect([observer = std::move(observer)] { observer(); });
  }

 private:
  void poll();

  DesktopAppearance& desktop_;
  std::string lastIconTheme_;
  Signal<> didChange_;
  Subscription timer_;
};

}  // namespace quayline
