#include "ui/panel/DockPanel.h"

#include <QEasingCurve>
#include <QGuiApplication>
#include <QScreen>
#include <cmath>

#include "dock/DockFrame.h"
#include "platform/PanelWindowing.h"

namespace quayline {

namespace {

// The two timing curves of the hide and show motions.
QEasingCurve curveFor(DockPanel::Curve curve) {
  QEasingCurve result(QEasingCurve::BezierSpline);
  if (curve == DockPanel::Curve::easeIn) {
    result.addCubicBezierSegment(QPointF(0.42, 0), QPointF(1, 1), QPointF(1, 1));
  } else {
    result.addCubicBezierSegment(QPointF(0, 0), QPointF(0.58, 1), QPointF(1, 1));
  }
  return result;
}

}  // namespace

DockPanel::DockPanel(PanelWindowing& windowing, QWidget* content)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint),
      windowing_(windowing),
      content_(content),
      animation_(this, "geometry") {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_X11NetWmWindowTypeDock);
  setFocusPolicy(Qt::NoFocus);
  setWindowTitle("Quayline Dock");
  content_->setParent(this);
}

DockPanel::~DockPanel() = default;

QRect DockPanel::toQt(const Rect& frame) {
  // The bottom-left space has its origin at the primary screen's bottom-left corner; Qt's
  // virtual desktop places the primary screen at its own top-left corner.
  const QRect primary = QGuiApplication::primaryScreen()->geometry();
  const Rect topLeft = DockFrame::toTopLeft(frame, primary.height());
  return QRect(static_cast<int>(std::lround(topLeft.minX())) + primary.x(),
               static_cast<int>(std::lround(topLeft.minY())) + primary.y(),
               static_cast<int>(std::lround(topLeft.width())),
               static_cast<int>(std::lround(topLeft.height())));
}

void DockPanel::setFrame(const Rect& frame) {
  animation_.stop();
  const QRect wanted = toQt(frame);
  if (geometry() != wanted) {
    setGeometry(wanted);
  }
}

void DockPanel::animateFrame(const Rect& frame, double seconds, Curve curve) {
  animation_.stop();
  animation_.setDuration(static_cast<int>(std::lround(seconds * 1000)));
  animation_.setEasingCurve(curveFor(curve));
  animation_.setStartValue(geometry());
  animation_.setEndValue(toQt(frame));
  animation_.start();
}

void DockPanel::orderFront() {
  if (!prepared_) {
    prepared_ = true;
    windowing_.prepareDockPanel(static_cast<PanelWindowing::WindowId>(winId()));
  }
  const bool wasVisible = isVisible();
  show();
  raise();
  if (!wasVisible) {
    windowing_.panelShown(static_cast<PanelWindowing::WindowId>(winId()));
  }
}

void DockPanel::orderOut() {
  animation_.stop();
  hide();
}

void DockPanel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  content_->setGeometry(rect());
}

}  // namespace quayline
