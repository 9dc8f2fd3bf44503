#pragma once

#include <functional>

#include "previews/PreviewCard.h"

namespace quayline {

// The floating panel that shows a preview; the views implement it. While shown it watches for
// Escape and clicks anywhere, and reports them, the pointer entering and leaving it and card
// clicks to the controller that set `events`.
class PreviewPanel {
 public:
  struct Events {
    std::function<void()> pointerEntered;
    std::function<void()> pointerExited;
    std::function<void()> escapeOrClickOutside;
    std::function<void(const PreviewCard&)> cardClicked;
  };

  virtual ~PreviewPanel() = default;
  virtual void setEvents(Events events) = 0;
  // Shows the panel at the presentation's frame. `rebuild` false keeps the cards as they are
  // drawn and only moves the panel.
  virtual void present(const PreviewPresentation& presentation, bool rebuild) = 0;
  // Orders the panel out and drops its content.
  virtual void dismiss() = 0;
  virtual bool isVisible() const = 0;
};

}  // namespace quayline
