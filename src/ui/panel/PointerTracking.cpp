#include "ui/panel/PointerTracking.h"

#include <QEvent>
#include <QWindow>

namespace quayline {

PointerTracking::PointerTracking(QWindow& window) : QObject(&window) {
  window.installEventFilter(this);
}

bool PointerTracking::eventFilter(QObject*, QEvent* event) {
  const auto call = [](const std::function<void()>& callback) {
    if (callback) {
      callback();
    }
  };
  switch (event->type()) {
    case QEvent::Enter:
      call(onEnter);
      break;
    case QEvent::MouseMove:
      call(onMove);
      break;
    case QEvent::Leave:
      call(onExit);
      break;
    default:
      break;
  }
  return false;
}

}  // namespace quayline
