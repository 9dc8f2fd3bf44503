#pragma once

#include <functional>
#include <vector>

#include "foundation/Geometry.h"
#include "foundation/Subscription.h"
#include "windows/ReservingDock.h"

namespace quayline {

class Accessibility;
class Displays;
class Preferences;
class Processes;
class WindowRegistry;

// Keeps maximized windows clear of the docks: following the maximized-window setting, either
// orders out a dock whose screen a maximized window covers, or shrinks such windows so they end
// above the dock. Runs on the main thread.
class WindowReservation {
 public:
  using DockProvider = std::function<std::vector<ReservingDock*>()>;

  // Points left free between a shrunk window and the dock's resting top edge.
  static constexpr double gap = 4;
  // A window must span this share of its screen's width and height to count as maximized.
  static constexpr double minimumShare = 0.9;
  // Windows are never shrunk to this height or less.
  static constexpr double smallestHeight = 100;

  WindowReservation(WindowRegistry& registry, Preferences& preferences, Displays& displays,
                    Accessibility& accessibility, Processes& processes);
  WindowReservation(const WindowReservation&) = delete;
  WindowReservation& operator=(const WindowReservation&) = delete;

  // The current dock windows, one per display; none until set.
  void setDocks(DockProvider docks) { docks_ = std::move(docks); }

  // Applies once and then again on every change of the window list or of the settings that
  // decide the behaviour. Only the first call has an effect.
  void start();
  void apply();

 private:
  void watchPreferences();

  WindowRegistry& registry_;
  Preferences& preferences_;
  Displays& displays_;
  Accessibility& accessibility_;
  Processes& processes_;
  DockProvider docks_ = [] { return std::vector<ReservingDock*>{}; };
  bool started_ = false;
  Subscription windowsChanged_;
  Subscription preferencesChanged_;
};

}  // namespace quayline
