#include "ui/switcher/SwitcherCardView.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "ui/previews/ThumbnailPicture.h"

namespace quayline {

namespace {

QString qstring(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

using ThumbnailPicture::rounded;
using ThumbnailPicture::withAlpha;

}  // namespace

SwitcherCardView::SwitcherCardView(SwitcherCandidate candidate, SwitcherLayout layout,
                                   QWidget* parent)
    : QWidget(parent), candidate_(std::move(candidate)), layout_(layout) {
  setFixedSize(static_cast<int>(layout_.cardWidth()), static_cast<int>(layout_.cardHeight()));
  setMouseTracking(true);
  setObjectName(qstring(candidate_.accessibilityIdentifier));
  setAccessibleName(qstring(candidate_.displayTitle));
  setToolTip(
      qstring(candidate_.window.title.empty() ? candidate_.appName : candidate_.window.title));
  describe();
}

void SwitcherCardView::describe() {
  setAccessibleDescription(selected_                       ? QStringLiteral("selected")
                           : candidate_.window.isMinimized ? QStringLiteral("minimized")
                                                           : QString());
}

void SwitcherCardView::setSelected(bool selected) {
  if (selected != selected_) {
    selected_ = selected;
    describe();
    update();
  }
}

void SwitcherCardView::setThumbnail(std::optional<WindowThumbnailer::Thumbnail> thumbnail) {
  if (thumbnail == thumbnail_) {
    return;
  }
  thumbnail_ = std::move(thumbnail);
  thumbnailImage_ =
      thumbnail_ && thumbnail_->image ? ThumbnailPicture::imageOf(*thumbnail_->image) : QImage();
  update();
}

void SwitcherCardView::setIcons(QImage small, QImage large) {
  smallIcon_ = std::move(small);
  largeIcon_ = std::move(large);
  update();
}

void SwitcherCardView::setDark(bool dark) {
  dark_ = dark;
  update();
}

void SwitcherCardView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  const QColor primary = dark_ ? Qt::white : Qt::black;
  const QRectF card(rect());
  const double radius = layout_.measure(SwitcherLayout::baseCardRadius);
  if (selected_) {
    painter.fillPath(rounded(card, radius), withAlpha(primary, 0.1));
    QPen outline(palette().color(QPalette::Highlight), 3);
    painter.setPen(outline);
    painter.drawPath(rounded(card.adjusted(1.5, 1.5, -1.5, -1.5), radius - 1.5));
  }

  const double inset = layout_.measure(SwitcherLayout::baseCardPadding);
  const Size area = layout_.thumbnailSize();
  const QRectF picture(inset, inset, area.width, area.height);
  painter.save();
  painter.setOpacity(candidate_.window.isMinimized ? 0.5 : 1);
  ThumbnailPicture::paint(painter, picture, thumbnailImage_, largeIcon_,
                          layout_.measure(SwitcherLayout::basePlaceholderIcon), primary);
  if (!smallIcon_.isNull()) {
    // Hung over the picture's lower-left corner, with a soft shadow under it.
    const double icon = layout_.measure(SwitcherLayout::baseIcon);
    const QRectF place(picture.left() - 0.2 * icon, picture.bottom() - icon + 0.2 * icon, icon,
                       icon);
    painter.save();
    painter.setOpacity(painter.opacity() * 0.35);
    painter.fillPath(rounded(place.translated(0, 1).adjusted(1, 1, -1, -1), icon * 0.22),
                     Qt::black);
    painter.restore();
    painter.drawImage(place, smallIcon_);
  }
  painter.restore();

  QFont font = painter.font();
  font.setPixelSize(static_cast<int>(std::max(9.0, layout_.measure(12))));
  painter.setFont(font);
  painter.setPen(candidate_.window.isMinimized ? withAlpha(primary, 0.55) : primary);
  const double titleTop = inset + area.height + layout_.measure(SwitcherLayout::baseTitleSpacing);
  const QRectF title(inset, titleTop, area.width, layout_.measure(SwitcherLayout::baseTitleHeight));
  painter.drawText(title, Qt::AlignCenter,
                   painter.fontMetrics().elidedText(qstring(candidate_.displayTitle),
                                                    Qt::ElideRight, static_cast<int>(area.width)));
}

void SwitcherCardView::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  if (onHover) {
    onHover();
  }
}

void SwitcherCardView::mouseMoveEvent(QMouseEvent* event) {
  QWidget::mouseMoveEvent(event);
  if (onHover) {
    onHover();
  }
}

void SwitcherCardView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
      onClick) {
    onClick();
  }
}

}  // namespace quayline
