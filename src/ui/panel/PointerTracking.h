#pragma once

#include <QObject>
#include <functional>

class QWindow;

namespace quayline {

// Reports the pointer entering, moving over and leaving a top-level window, whichever of its
// widgets is under it.
class PointerTracking final : public QObject {
 public:
  explicit PointerTracking(QWindow& window);

  std::function<void()> onEnter;
  std::function<void()> onMove;
  std::function<void()> onExit;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace quayline
