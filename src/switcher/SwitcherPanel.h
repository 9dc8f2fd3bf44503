#pragma once

#include <functional>
#include <string>

#include "foundation/Geometry.h"
#include "switcher/SwitcherLayout.h"

namespace quayline {

// What the switcher panel shows besides the model's cards.
struct SwitcherPresentation {
  Rect frame;  // screen points, bottom-left origin
  SwitcherLayout layout;
  double backingScale = 1;
  // The empty panel's two lines.
  std::string emptyTitle;
  std::string emptyDetail;
  bool operator==(const SwitcherPresentation&) const = default;
};

// The floating panel of the switcher; the views implement it and draw the cards of the model
// they were given. It never takes focus.
class SwitcherPanel {
 public:
  struct Events {
    // The pointer is over a card.
    std::function<void(int index)> pointerOverCard;
    std::function<void(int index)> cardClicked;
  };

  virtual ~SwitcherPanel() = default;
  virtual void setEvents(Events events) = 0;
  // Makes the window now, so that showing it later only maps it.
  virtual void prepare() = 0;
  virtual void present(const SwitcherPresentation& presentation) = 0;
  // Orders the panel out and drops its cards.
  virtual void dismiss() = 0;
  virtual bool isVisible() const = 0;
};

}  // namespace quayline
