#include "ui/dock/TileElement.h"

#include <QMouseEvent>
#include <cmath>
#include <utility>

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
  endDrag(false);
  exit();
}

void TileElement::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    if (!onContextMenu) {
      event->ignore();
      return;
    }
    onContextMenu(*this, event->globalPosition().toPoint());
  } else if (event->button() == Qt::LeftButton) {
    pressedAt_ = event->globalPosition();
  }
  // Presses belong to the tile, never to the glass behind it.
  event->accept();
}

void TileElement::mouseMoveEvent(QMouseEvent* event) {
  QWidget::mouseMoveEvent(event);
  if (!pressedAt_) {
    return;
  }
  if ((event->buttons() & Qt::LeftButton) == 0) {
    // The release went elsewhere: the drag ends here.
    pressedAt_.reset();
    endDrag(false);
    return;
  }
  // The press's implicit grab keeps the moves coming wherever the pointer goes.
  const QPointF translation = event->globalPosition() - *pressedAt_;
  if (!dragging_ && onDrag && std::hypot(translation.x(), translation.y()) >= dragDistance) {
    dragging_ = true;
  }
  if (dragging_) {
    onDrag(*this, translation);
  }
}

void TileElement::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() != Qt::LeftButton) {
    return;
  }
  pressedAt_.reset();
  if (dragging_) {
    endDrag(true);
    return;
  }
  if (rect().contains(event->position().toPoint()) && onClick) {
    onClick(*this);
  }
}

void TileElement::endDrag(bool released) {
  if (!std::exchange(dragging_, false)) {
    return;
  }
  if (onDragEnd) {
    onDragEnd(*this, released);
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
