#include "ui/previews/PreviewCardView.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "previews/PreviewLayout.h"
#include "previews/WindowPreviewController.h"

namespace quayline {

namespace {

constexpr double kInset = 8;
constexpr double kIconSize = 56;

QString qstring(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPainterPath rounded(const QRectF& rect, double radius) {
  QPainterPath path;
  path.addRoundedRect(rect, radius, radius);
  return path;
}

// The captured pixels as an image that shares them; the thumbnail keeps them alive.
QImage imageOf(const WindowImage& image) {
  return QImage(reinterpret_cast<const uchar*>(image.pixels.data()), image.width, image.height,
                image.width * 4, QImage::Format_ARGB32_Premultiplied);
}

}  // namespace

PreviewCardView::PreviewCardView(PreviewCard card, QWidget* parent)
    : QWidget(parent), card_(std::move(card)) {
  const Size size = PreviewLayout::cardSize;
  setFixedSize(static_cast<int>(size.width), static_cast<int>(size.height));
  setMouseTracking(true);
  setObjectName(qstring(card_.accessibilityIdentifier));
  setAccessibleName(qstring(card_.primary));
  setAccessibleDescription(card_.window.isMinimized ? QStringLiteral("minimized") : QString());
}

void PreviewCardView::setThumbnail(std::optional<WindowThumbnailer::Thumbnail> thumbnail) {
  if (thumbnail == thumbnail_) {
    return;
  }
  thumbnail_ = std::move(thumbnail);
  thumbnailImage_ = thumbnail_ && thumbnail_->image ? imageOf(*thumbnail_->image) : QImage();
  update();
}

void PreviewCardView::setIcon(QImage icon) {
  icon_ = std::move(icon);
  update();
}

void PreviewCardView::setDark(bool dark) {
  dark_ = dark;
  update();
}

void PreviewCardView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  const QColor primary = dark_ ? Qt::white : Qt::black;
  const auto withAlpha = [](QColor colour, double alpha) {
    colour.setAlphaF(static_cast<float>(alpha));
    return colour;
  };
  if (hovered_) {
    painter.fillPath(rounded(QRectF(rect()), 10), withAlpha(primary, 0.1));
  }

  const Size area = WindowPreviewController::thumbnailArea;
  const QRectF thumbnailArea(kInset, kInset, area.width, area.height);
  painter.save();
  painter.setOpacity(card_.window.isMinimized ? 0.5 : 1);
  if (!thumbnailImage_.isNull()) {
    QSizeF fitted =
        QSizeF(thumbnailImage_.size()).scaled(thumbnailArea.size(), Qt::KeepAspectRatio);
    const QRectF target(thumbnailArea.center().x() - fitted.width() / 2,
                        thumbnailArea.center().y() - fitted.height() / 2, fitted.width(),
                        fitted.height());
    painter.setClipPath(rounded(target, 4));
    painter.drawImage(target, thumbnailImage_);
  } else {
    painter.fillPath(rounded(thumbnailArea, 6), withAlpha(primary, 0.06));
    const QRectF iconRect(thumbnailArea.center().x() - kIconSize / 2,
                          thumbnailArea.center().y() - kIconSize / 2, kIconSize, kIconSize);
    if (!icon_.isNull()) {
      painter.drawImage(iconRect, icon_);
    }
  }
  painter.restore();

  const double width = area.width;
  double y = kInset + area.height + 6;
  QFont font = painter.font();
  font.setPixelSize(12);
  font.setWeight(QFont::Medium);
  painter.setFont(font);
  const QColor secondary = withAlpha(primary, 0.55);
  painter.setPen(card_.window.isMinimized ? secondary : primary);
  const QRectF primaryLine(kInset, y, width, 16);
  painter.drawText(primaryLine, Qt::AlignCenter,
                   painter.fontMetrics().elidedText(qstring(card_.primary), Qt::ElideRight,
                                                    static_cast<int>(width)));
  y += 16;
  font.setPixelSize(11);
  font.setWeight(QFont::Normal);
  painter.setFont(font);
  painter.setPen(secondary);
  painter.drawText(QRectF(kInset, y, width, 14), Qt::AlignCenter,
                   painter.fontMetrics().elidedText(qstring(card_.secondary), Qt::ElideRight,
                                                    static_cast<int>(width)));
}

void PreviewCardView::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  hovered_ = true;
  update();
}

void PreviewCardView::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  hovered_ = false;
  update();
}

void PreviewCardView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
      onClick) {
    onClick(card_);
  }
}

}  // namespace quayline
