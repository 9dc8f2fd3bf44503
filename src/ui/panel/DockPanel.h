#pragma once

#include <QPropertyAnimation>
#include <QWidget>
#include <memory>

#include "foundation/Geometry.h"

namespace quayline {

class PanelWindowing;

// The dock's top-level window: borderless, never focused, a dock panel to the window manager.
// It takes frames in the bottom-left screen space and converts them to Qt's space here, and
// only here.
class DockPanel : public QWidget {
  Q_OBJECT

 public:
  DockPanel(PanelWindowing& windowing, QWidget* content);
  ~DockPanel() override;

  // Moves and sizes the window at once (stopping any animation); nothing when it already has
  // this frame.
  void setFrame(const Rect& frame);
  // Moves there over `seconds` with the ease-in or ease-out curve.
  enum class Curve { easeIn, easeOut };
  void animateFrame(const Rect& frame, double seconds, Curve curve);
  // The frame in Qt's (and the window system's) top-left space.
  static QRect toQt(const Rect& frame);

  void orderFront();
  void orderOut();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  PanelWindowing& windowing_;
  QWidget* content_;
  QPropertyAnimation animation_;
  bool prepared_ = false;
};

}  // namespace quayline
