#include "dock/IconAppearanceMonitor.h"

#include "foundation/Scheduler.h"
#include "platform/DesktopAppearance.h"

namespace quayline {

IconAppearanceMonitor::IconAppearanceMonitor(DesktopAppearance& desktop, Scheduler& scheduler)
    : desktop_(desktop), lastIconTheme_(desktop.iconTheme()) {
  timer_ = scheduler.every(Scheduler::Seconds(pollInterval), [this] { poll(); });
}

void IconAppearanceMonitor::poll() {
  std::string theme = desktop_.iconTheme();
  if (theme == lastIconTheme_) {
    return;
  }
  lastIconTheme_ = std::move(theme);
  didChange_.emit();
}

}  // namespace quayline
