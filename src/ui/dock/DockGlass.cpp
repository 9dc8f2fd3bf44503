#include "ui/dock/DockGlass.h"

#include <QPainter>

namespace quayline {

QPainterPath DockGlass::shape(const QRectF& rect, double cornerRadius) {
  QPainterPath path;
  path.addRoundedRect(rect, cornerRadius, cornerRadius);
  return path;
}

void DockGlass::paint(QPainter& painter, const QRectF& rect, double cornerRadius, Behind behind,
                      const QImage& backdrop, const QColor& tint, bool isDark) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  const QPainterPath path = shape(rect, cornerRadius);
  switch (behind) {
    case Behind::nothing:
      break;
    case Behind::backdrop:
      painter.setClipPath(path);
      painter.drawImage(rect, backdrop);
      painter.setClipping(false);
      // The frosted material lightens or darkens what shows through it.
      painter.fillPath(path, isDark ? QColor(0, 0, 0, 90) : QColor(255, 255, 255, 60));
      break;
    case Behind::opaque:
      painter.fillPath(path, isDark ? QColor(40, 40, 42) : QColor(226, 226, 230));
      break;
  }
  painter.fillPath(path, tint);
  // A one-point border inside the shape.
  const QPainterPath border =
      shape(rect.adjusted(0.5, 0.5, -0.5, -0.5), std::max(0.0, cornerRadius - 0.5));
  painter.strokePath(border, QPen(QColor::fromRgbF(1, 1, 1, 0.14f), 1));
  painter.restore();
}

QImage DockGlass::soften(const QImage& image) {
  if (image.isNull()) {
    return image;
  }
  // Shrinking and growing again with smooth filtering is a cheap, wide blur.
  const QSize small(std::max(1, image.width() / 12), std::max(1, image.height() / 12));
  return image.scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
      .scaled(image.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace quayline
