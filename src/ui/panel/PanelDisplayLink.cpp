#include "ui/panel/PanelDisplayLink.h"

#include <QScreen>
#include <QWidget>
#include <cmath>

namespace quayline {

namespace {
constexpr double kFallbackRefreshRate = 60;
}

PanelDisplayLink::PanelDisplayLink(QWidget& window, std::function<void()> step)
    : window_(window), step_(std::move(step)) {
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, [this] { step_(); });
}

int PanelDisplayLink::interval() const {
  const QScreen* screen = window_.screen();
  double rate = screen != nullptr ? screen->refreshRate() : kFallbackRefreshRate;
  if (!(rate >= 1)) {
    rate = kFallbackRefreshRate;
  }
  return std::max(1, static_cast<int>(std::lround(1000.0 / rate)));
}

void PanelDisplayLink::setPaused(bool paused) {
  if (paused) {
    timer_.stop();
  } else if (!timer_.isActive()) {
    timer_.start(interval());
  }
}

}  // namespace quayline
