#include "ui/previews/PreviewCardView.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "previews/PreviewLayout.h"
#include "previews/WindowPreviewController.h"
#include "ui/previews/ThumbnailPicture.h"

namespace quayline {

namespace {

constexpr double kInset = 8;
constexpr double kIconSize = 56;

QString qstring(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

using ThumbnailPicture::rounded;
using ThumbnailPicture::withAlpha;

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
  thumbnailImage_ =
      thumbnail_ && thumbnail_->image ? ThumbnailPicture::imageOf(*thumbnail_->image) : QImage();
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
  if (hovered_) {
    painter.fillPath(rounded(QRectF(rect()), 10), withAlpha(primary, 0.1));
  }

  const Size area = WindowPreviewController::thumbnailArea;
  const QRectF thumbnailArea(kInset, kInset, area.width, area.height);
  painter.save();
  painter.setOpacity(card_.window.isMinimized ? 0.5 : 1);
  ThumbnailPicture::paint(painter, thumbnailArea, thumbnailImage_, icon_, kIconSize, primary);
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
