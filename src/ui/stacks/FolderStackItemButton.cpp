#include "ui/stacks/FolderStackItemButton.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace quayline {

namespace {

constexpr double kCornerRadius = 7;
constexpr int kGridIcon = 48;
constexpr int kGridNameHeight = 26;
constexpr int kListIcon = 18;
constexpr int kListPaddingX = 12;

QColor primaryColor(bool dark, double opacity) {
  QColor color = dark ? QColor(Qt::white) : QColor(Qt::black);
  color.setAlphaF(static_cast<float>(opacity));
  return color;
}

}  // namespace

FolderStackItemButton::FolderStackItemButton(FolderStackItem item, FolderStackStyle style,
                                             QImage icon, bool dark, QWidget* parent)
    : QWidget(parent), item_(std::move(item)), style_(style), icon_(std::move(icon)), dark_(dark) {
  setObjectName(QStringLiteral("quayline.folderStack.item"));
  setAccessibleName(QString::fromStdString(item_.name));
  setToolTip(QString::fromStdString(item_.name));
  setAttribute(Qt::WA_Hover);
}

void FolderStackItemButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  const double highlight = pressed_ ? 0.16 : hovered_ ? 0.09 : 0;
  if (highlight > 0) {
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);
    painter.fillPath(shape, primaryColor(dark_, highlight));
  }
  const QString name = QString::fromStdString(item_.name);
  QFont font = painter.font();
  painter.setPen(primaryColor(dark_, 0.9));
  if (style_ == FolderStackStyle::grid) {
    const QRectF iconRect((width() - kGridIcon) / 2.0, 0, kGridIcon, kGridIcon);
    if (!icon_.isNull()) {
      painter.drawImage(iconRect, icon_);
    }
    font.setPixelSize(10);
    painter.setFont(font);
    const QRectF text(2, kGridIcon, width() - 4, kGridNameHeight);
    // Two lines at most, the second cut with an ellipsis.
    const QFontMetrics metrics(font);
    QString shown = name;
    if (metrics.boundingRect(text.toRect(), Qt::AlignHCenter | Qt::TextWrapAnywhere, name)
            .height() > kGridNameHeight) {
      shown = metrics.elidedText(name, Qt::ElideMiddle, static_cast<int>(text.width() * 2 - 8));
    }
    painter.drawText(text, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWrapAnywhere, shown);
  } else {
    const QRectF iconRect(kListPaddingX, (height() - kListIcon) / 2.0, kListIcon, kListIcon);
    if (!icon_.isNull()) {
      painter.drawImage(iconRect, icon_);
    }
    font.setPixelSize(12);
    painter.setFont(font);
    const double textX = iconRect.right() + 8;
    const QRectF text(textX, 0, width() - textX - kListPaddingX, height());
    painter.drawText(
        text, Qt::AlignVCenter | Qt::AlignLeft,
        painter.fontMetrics().elidedText(name, Qt::ElideMiddle, static_cast<int>(text.width())));
  }
}

void FolderStackItemButton::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  hovered_ = true;
  update();
}

void FolderStackItemButton::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  hovered_ = false;
  pressed_ = false;
  update();
}

void FolderStackItemButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    pressed_ = true;
    update();
  }
}

void FolderStackItemButton::mouseReleaseEvent(QMouseEvent* event) {
  const bool clicked =
      pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  update();
  if (clicked && onClick) {
    onClick(item_);
  }
}

}  // namespace quayline
