#pragma once

#include <QTimer>
#include <functional>

#include "platform/DisplayLink.h"

class QWidget;

namespace quayline {

// A step once per refresh of the screen a window is on: a precise timer at that screen's
// refresh rate, running only while unpaused, so an idle dock has no timer at all.
class PanelDisplayLink final : public DisplayLink {
 public:
  PanelDisplayLink(QWidget& window, std::function<void()> step);
  void setPaused(bool paused) override;
  bool isPaused() const override { return !timer_.isActive(); }

 private:
  int interval() const;

  QWidget& window_;
  std::function<void()> step_;
  QTimer timer_;
};

}  // namespace quayline
