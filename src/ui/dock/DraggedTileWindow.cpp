#include "ui/dock/DraggedTileWindow.h"

#include <QBitmap>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "dock/DockDragController.h"

namespace quayline {

namespace {

constexpr double kCapsuleRise = 22;
constexpr int kCapsuleFontSize = 11;

QString removeLabel() {
  return QStringLiteral("Remove");
}

QFont capsuleFont() {
  QFont font;
  font.setPixelSize(kCapsuleFontSize);
  font.setWeight(QFont::Medium);
  return font;
}

}  // namespace

DraggedTileWindow::DraggedTileWindow()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint |
                           Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput |
                           Qt::WindowStaysOnTopHint) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_TranslucentBackground);
  setFocusPolicy(Qt::NoFocus);
  setWindowTitle(QStringLiteral("Quayline Dragged Tile"));
  setObjectName(QStringLiteral("quayline.dragged-tile"));
}

QRectF DraggedTileWindow::capsuleRect() const {
  const QFontMetricsF metrics(capsuleFont());
  const QSizeF size(metrics.horizontalAdvance(removeLabel()) + 16, metrics.height() + 6);
  return QRectF(iconRect_.center().x() - size.width() / 2, iconRect_.top() - kCapsuleRise,
                size.width(), size.height());
}

void DraggedTileWindow::present(const QImage& icon, const QRectF& iconRect, bool removing,
                                bool composited) {
  icon_ = icon;
  removing_ = removing;
  // Room above the icon for the capsule, and beside it for a capsule wider than the icon.
  const double margin = 40;
  const QRectF area = iconRect.adjusted(-margin, -margin, margin, 0);
  iconRect_ = iconRect.translated(-area.topLeft());
  setGeometry(area.toAlignedRect());
  if (!composited) {
    // Without a compositor transparent pixels show black: cut the window to what it draws.
    QImage shape(size(), QImage::Format_ARGB32_Premultiplied);
    shape.fill(Qt::transparent);
    QPainter painter(&shape);
    painter.drawImage(iconRect_, icon_);
    if (removing_) {
      painter.fillRect(capsuleRect(), Qt::black);
    }
    painter.end();
    setMask(QBitmap::fromImage(shape.createAlphaMask()));
  } else {
    clearMask();
  }
  if (!isVisible()) {
    show();
  }
  raise();
  update();
}

void DraggedTileWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.save();
  painter.setOpacity(removing_ ? DockDragController::dimmedOpacity : 1);
  painter.drawImage(iconRect_, icon_);
  painter.restore();
  if (!removing_) {
    return;
  }
  const QRectF capsule = capsuleRect();
  QPainterPath path;
  path.addRoundedRect(capsule, capsule.height() / 2, capsule.height() / 2);
  painter.fillPath(path, palette().color(QPalette::Window));
  QPainterPath border;
  const QRectF inner = capsule.adjusted(0.5, 0.5, -0.5, -0.5);
  border.addRoundedRect(inner, inner.height() / 2, inner.height() / 2);
  painter.setPen(QPen(QColor(0, 0, 0, static_cast<int>(std::round(255 * 0.15))), 1));
  painter.drawPath(border);
  painter.setFont(capsuleFont());
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(capsule, Qt::AlignCenter, removeLabel());
}

}  // namespace quayline
