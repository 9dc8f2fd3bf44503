#include "ui/dock/TileElement.h"

#include <QMouseEvent>

namespace quayline {

TileElement::TileElement(Tile tile, QWidget* parent) : QWidget(parent), tile_(std::move(tile)) {
  setAttribute(Qt::WA_NoSystemBackground);
  setAttribute(Qt::WA_OpaquePaintEvent, false);
  setAttribute(Qt::WA_Hover);
  setMouseTracking(true);
}

TileElement::~TileElement() {
  exit();
}

void TileElement::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  if (window() == nullptr || !isVisible()) {
    return;
  }
  inside_ = true;
  if (onEnter) {
    onEnter(*this);
  }
}

void TileElement::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  exit();
}

void TileElement::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  exit();
}

void TileElement::mousePressEvent(QMouseEvent* event) {
  // Tiles have no menu of their own yet, so a secondary click anywhere on the dock reaches the
  // glass, where the status menu opens when the desktop has no tray. Other presses belong to
  // the tile, never to the glass behind it.
  if (event->button() == Qt::RightButton) {
    event->ignore();
    return;
  }
  event->accept();
}

void TileElement::exit() {
  if (!inside_) {
    return;
  }
  inside_ = false;
  if (onExit) {
    onExit(*this);
  }
}

}  // namespace quayline
