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
  if (event->button() == Qt::RightButton) {
    if (!onContextMenu) {
      event->ignore();
      return;
    }
    onContextMenu(*this, event->globalPosition().toPoint());
  }
  // Presses belong to the tile, never to the glass behind it.
  event->accept();
}

void TileElement::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
      onClick) {
    onClick(*this);
  }
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
