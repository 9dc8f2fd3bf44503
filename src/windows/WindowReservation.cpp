#include "windows/WindowReservation.h"

#include <set>

#include "app/Preferences.h"
#include "platform/Accessibility.h"
#include "platform/Displays.h"
#include "platform/Processes.h"
#include "windows/WindowRegistry.h"

namespace quayline {

namespace {

// A dock's screen seen from the window list's space (top-left origin, y down), and the line
// that windows must stay above.
struct ReservedArea {
  double minX = 0;
  double maxX = 0;
  double bottom = 0;
  double line = 0;
  double minimumWidth = 0;
  double minimumHeight = 0;

  ReservedArea(const ReservingDock& dock, double primaryTop) {
    const Rect& frame = dock.screen().frame;
    const double top = primaryTop - frame.maxY();
    bottom = primaryTop - frame.minY();
    // The dock may stand above another program's panel rather than on the screen's edge.
    line = primaryTop - dock.restingFrame().maxY() - WindowReservation::gap;
    minX = frame.minX();
    maxX = frame.maxX();
    minimumWidth = WindowReservation::minimumShare * frame.width();
    minimumHeight = WindowReservation::minimumShare * (bottom - top);
  }

  bool coveredBy(const Rect& window) const {
    return minX <= window.midX() && window.midX() < maxX && window.maxY() > line &&
           window.minY() < bottom && window.width() >= minimumWidth &&
           window.height() >= minimumHeight;
  }
};

}  // namespace

WindowReservation::WindowReservation(WindowRegistry& registry, Preferences& preferences,
                                     Displays& displays, Accessibility& accessibility,
                                     Processes& processes)
    : registry_(registry),
      preferences_(preferences),
      displays_(displays),
      accessibility_(accessibility),
      processes_(processes) {}

void WindowReservation::start() {
  if (started_) {
    return;
  }
  started_ = true;
  windowsChanged_ = registry_.observeWindows([this](const auto&) { apply(); });
  watchPreferences();
  // The registry tells only of changes; the list it already holds counts too.
  apply();
}

void WindowReservation::watchPreferences() {
  // Auto-hide decides the behaviour as much as the maximized-window setting does. The
  // registration is one-shot: renew it from inside the callback.
  preferencesChanged_ = preferences_.observeNextChange(
      {Preferences::Key::maximizedWindowBehavior, Preferences::Key::autohide}, [this] {
        watchPreferences();
        apply();
      });
}

void WindowReservation::apply() {
  const MaximizedWindowBehavior behavior = preferences_.autohide()
                                               ? MaximizedWindowBehavior::ignore
                                               : preferences_.maximizedWindowBehavior();
  const std::vector<Screen> screens = displays_.screens();
  const double primaryTop = screens.empty() ? 0 : screens.front().frame.maxY();
  const ProcessId ownPid = processes_.currentProcessIdentifier();
  const std::vector<ReservingDock*> docks = docks_();
  std::set<const ReservingDock*> hidden;

  if (behavior != MaximizedWindowBehavior::ignore) {
    // A copy: resizing must not depend on whether the list changes underneath.
    const std::vector<AppWindow> windows = registry_.windows();
    for (const ReservingDock* dock : docks) {
      const ReservedArea area(*dock, primaryTop);
      for (const AppWindow& window : windows) {
        if (window.isMinimized || window.pid == ownPid || !window.frame ||
            !area.coveredBy(*window.frame)) {
          continue;
        }
        if (behavior == MaximizedWindowBehavior::hideDock) {
          hidden.insert(dock);
          continue;
        }
        const double height = area.line - window.frame->minY();
        if (height > smallestHeight) {
          // An application that refuses the size keeps it; the dock then stays visible.
          accessibility_.setAttribute(window.element, AX::size,
                                      AXValue{Size{window.frame->width(), height}});
        }
      }
    }
  }

  for (ReservingDock* dock : docks) {
    const bool hide = hidden.contains(dock);
    if (dock->suppressed() != hide) {
      dock->setSuppressed(hide);
    }
  }
}

}  // namespace quayline
