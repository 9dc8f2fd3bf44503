#include "ui/previews/ThumbnailPicture.h"

#include <QBitmap>
#include <QPainter>
#include <QWidget>

#include "ui/dock/DockGlass.h"

namespace quayline::ThumbnailPicture {

QImage imageOf(const WindowImage& image) {
  return QImage(reinterpret_cast<const uchar*>(image.pixels.data()), image.width, image.height,
                image.width * 4, QImage::Format_ARGB32_Premultiplied);
}

QPainterPath rounded(const QRectF& rect, double radius) {
  QPainterPath path;
  path.addRoundedRect(rect, radius, radius);
  return path;
}

QColor withAlpha(QColor colour, double alpha) {
  colour.setAlphaF(static_cast<float>(alpha));
  return colour;
}

void paint(QPainter& painter, const QRectF& area, const QImage& image, const QImage& icon,
           double iconSize, const QColor& primary) {
  if (!image.isNull()) {
    const QSizeF fitted = QSizeF(image.size()).scaled(area.size(), Qt::KeepAspectRatio);
    const QRectF target(area.center().x() - fitted.width() / 2,
                        area.center().y() - fitted.height() / 2, fitted.width(), fitted.height());
    painter.save();
    painter.setClipPath(rounded(target, 4));
    painter.drawImage(target, image);
    painter.restore();
    return;
  }
  painter.fillPath(rounded(area, 6), withAlpha(primary, 0.06));
  if (!icon.isNull()) {
    painter.drawImage(QRectF(area.center().x() - iconSize / 2, area.center().y() - iconSize / 2,
                             iconSize, iconSize),
                      icon);
  }
}

void shapePopup(QWidget& popup, double cornerRadius, bool composited) {
  if (composited) {
    popup.clearMask();
    return;
  }
  QBitmap shape(popup.size());
  shape.fill(Qt::color0);
  QPainter painter(&shape);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.fillPath(DockGlass::shape(QRectF(popup.rect()), cornerRadius), Qt::color1);
  painter.end();
  popup.setMask(shape);
}

}  // namespace quayline::ThumbnailPicture
