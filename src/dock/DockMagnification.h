#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "dock/DockLayout.h"
#include "dock/Magnification.h"
#include "foundation/Geometry.h"
#include "foundation/Published.h"
#include "foundation/Scheduler.h"
#include "foundation/Subscription.h"
#include "platform/DisplayLink.h"
#include "platform/Displays.h"

namespace quayline {

class MenuTracking;

// The magnification effect of one dock window. It follows the pointer with a display-synchronised
// step, eases the effect in and out and publishes the magnified row the row view draws. The link
// runs only while the effect changes or the pointer moves inside the zone, so an idle dock costs
// nothing.
class DockMagnification {
 public:
  static constexpr double growDuration = 0.12;
  static constexpr double shrinkDuration = 0.18;
  // A stalled main thread advances the effect by at most this much per step.
  static constexpr double maximumStep = 1.0 / 30;

  DockMagnification(Displays& displays, Scheduler& scheduler, MenuTracking& menus,
                    DisplayLinkFactory makeLink);
  DockMagnification(const DockMagnification&) = delete;
  DockMagnification& operator=(const DockMagnification&) = delete;

  const std::optional<MagnifiedRow>& row() const { return row_.get(); }
  Subscription observeRow(Signal<std::optional<MagnifiedRow>>::Callback observer) {
    return row_.observe(std::move(observer));
  }
  bool isEnabled() const { return isEnabled_.get(); }
  Subscription observeEnabled(Signal<bool>::Callback observer) {
    return isEnabled_.observe(std::move(observer));
  }

  // Called when the row comes or goes, not when a present row changes: the window then takes
  // its magnified or resting frame.
  std::function<void()> envelopeChanged;

  // Inputs of every frame application. `restingFrame` is the resting row in screen coordinates.
  void setRestingFrame(const Rect& frame) { restingFrame_ = frame; }
  void setLayout(const DockLayout& layout) { layout_ = layout; }
  void setWidths(std::vector<double> widths) { widths_ = std::move(widths); }
  // Disabling resets the effect to idle at once, without calling `envelopeChanged`: the caller
  // is applying the frame already.
  void setEnabled(bool enabled);

  // While a tile is dragged the effect eases out; call `resume()` after changing it.
  void setSuspended(bool suspended) { isSuspended_ = suspended; }
  bool isSuspended() const { return isSuspended_; }

  // Makes sure the link exists and runs, starting a fresh time base.
  void resume();
  // One display refresh.
  void step();
  // Lays out the row for the current progress and publishes it when it differs.
  void publish();
  // Whether a screen point lies over the dock, the gap under it or, once magnified, the spread
  // row and the headroom of a doubled tile.
  bool zoneContains(Point point) const;

  // What the dock's content view reports; each is ignored while disabled.
  void pointerEntered();
  void pointerMoved();
  void pointerExited();

  // The dock window goes away: stop for good.
  void retire();

  double progress() const { return progress_; }
  bool isLinkRunning() const { return link_ && !link_->isPaused(); }

 private:
  void pauseLink();

  Displays& displays_;
  Scheduler& scheduler_;
  DisplayLinkFactory makeLink_;

  Published<std::optional<MagnifiedRow>> row_;
  Published<bool> isEnabled_{false};
  Rect restingFrame_;
  DockLayout layout_;
  std::vector<double> widths_;
  std::unique_ptr<DisplayLink> link_;
  double progress_ = 0;
  double pointerRowX_ = 0;
  std::optional<Point> lastPointer_;
  std::optional<double> lastStepTime_;
  bool isSuspended_ = false;
  bool menuIsTracking_ = false;
  // Until the content view has delivered a move, the pointer is followed by stepping alone.
  bool receivesMouseMoved_ = false;
  Subscription menus_;
};

}  // namespace quayline
