#include "ui/icons/PlaceholderIcon.h"

#include <QFont>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>

namespace quayline {
namespace {

// Drawn on a 256-point canvas scaled to the requested rectangle.
class PlaceholderEngine final : public QIconEngine {
 public:
  void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setRenderHint(QPainter::TextAntialiasing);
    painter->translate(rect.topLeft());
    painter->scale(rect.width() / 256.0, rect.height() / 256.0);
    QPainterPath square;
    square.addRoundedRect(QRectF(25.6, 25.6, 204.8, 204.8), 46.08, 46.08);
    painter->fillPath(square, QColor::fromRgbF(0.93f, 0.93f, 0.93f));
    painter->strokePath(square, QPen(QColor::fromRgbF(0.75f, 0.75f, 0.75f), 3.072));
    QFont font;
    font.setPixelSize(128);
    font.setWeight(QFont::Medium);
    painter->setFont(font);
    painter->setPen(QColor::fromRgbF(0.55f, 0.55f, 0.55f));
    painter->drawText(QRectF(0, 0, 256, 256), Qt::AlignCenter, QStringLiteral("?"));
    painter->restore();
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paint(&painter, QRect(QPoint(0, 0), size), mode, state);
    painter.end();
    return QPixmap::fromImage(std::move(image));
  }

  QIconEngine* clone() const override { return new PlaceholderEngine; }
  QString key() const override { return QStringLiteral("quayline-placeholder"); }
};

}  // namespace

const QIcon& placeholderIcon() {
  static const QIcon icon(new PlaceholderEngine);
  return icon;
}

}  // namespace quayline
