#include "ui/dock/TileBadgeView.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace quayline {
namespace {

QFont badgeFont(double iconSize) {
  QFont font;
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(TileBadgeView::fontSize(iconSize)))));
  font.setWeight(QFont::DemiBold);
  return font;
}

QPainterPath capsule(const QRectF& rect) {
  QPainterPath path;
  const double radius = std::min(rect.width(), rect.height()) * 0.5;
  path.addRoundedRect(rect, radius, radius);
  return path;
}

}  // namespace

double TileBadgeView::borderWidth(double iconSize) {
  return std::max(std::round(iconSize * 0.04), 1.0);
}

QRectF TileBadgeView::frame(const QString& text, const QRectF& icon) {
  const double iconSize = icon.width();
  const double d = diameter(iconSize);
  const QFontMetricsF metrics(badgeFont(iconSize));
  const double width = std::max(d, metrics.horizontalAdvance(text) + 2 * d * 0.26);
  const double height = std::max(d, metrics.height());
  // Aligned to the icon's top-trailing corner, then pushed out beyond it.
  const QPointF topRight(icon.right() + 0.16 * iconSize, icon.top() - 0.1 * iconSize);
  return QRectF(topRight.x() - width, topRight.y(), width, height);
}

void TileBadgeView::paint(QPainter& painter, const QString& text, const QRectF& icon, bool isDark) {
  const double iconSize = icon.width();
  const double w = borderWidth(iconSize);
  const QRectF rect = frame(text, icon);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  const QPainterPath shape = capsule(rect);
  painter.fillPath(shape.translated(0, w * 0.5), QColor(0, 0, 0, 64));
  painter.fillPath(shape, isDark ? QColor(255, 69, 58) : QColor(255, 59, 48));
  // Stroked inside the shape.
  painter.strokePath(capsule(rect.adjusted(w / 2, w / 2, -w / 2, -w / 2)), QPen(Qt::white, w));
  painter.setFont(badgeFont(iconSize));
  painter.setPen(Qt::white);
  const double padding = diameter(iconSize) * 0.26;
  const QRectF textRect = rect.adjusted(padding, 0, -padding, 0);
  const QString shown = QFontMetricsF(painter.font())
                            .elidedText(text, Qt::ElideRight, std::max(textRect.width(), 1.0));
  painter.drawText(rect, Qt::AlignCenter, shown);
  painter.restore();
}

}  // namespace quayline
