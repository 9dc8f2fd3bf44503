#include "ui/stacks/FolderStackPanelWindow.h"

#include <QApplication>
#include <QBitmap>
#include <QCursor>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <algorithm>

#include "app/Preferences.h"
#include "dock/SystemAppearance.h"
#include "platform/PanelWindowing.h"
#include "ui/dock/DockGlass.h"
#include "ui/dock/DockTint.h"
#include "ui/icons/IconCache.h"
#include "ui/panel/DockPanel.h"
#include "ui/stacks/FolderStackItemButton.h"

namespace quayline {

namespace {

constexpr double kCornerRadius = 14;
constexpr int kSidePadding = 14;
constexpr int kIconPoints = 48;
constexpr int kGridColumns = 5;
constexpr int kGridColumnSpacing = 4;
constexpr int kGridRowSpacing = 6;
constexpr int kGridPaddingX = 12;
constexpr int kGridPaddingY = 10;
constexpr int kListMinimumWidth = 260;
constexpr int kListMaximumWidth = 360;
constexpr int kListBottom = 8;
constexpr int kFooterPaddingY = 9;

QString secondaryStyle(bool dark, int pixels, bool semibold) {
  return QStringLiteral("color: rgba(%1, %1, %1, 150); font-size: %2px; font-weight: %3;")
      .arg(dark ? 255 : 0)
      .arg(pixels)
      .arg(semibold ? 600 : 400);
}

}  // namespace

FolderStackPanelWindow::FolderStackPanelWindow(Services services)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint |
                           Qt::WindowDoesNotAcceptFocus | Qt::WindowStaysOnTopHint),
      s_(services) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_TranslucentBackground);
  setFocusPolicy(Qt::NoFocus);
  setWindowTitle(QStringLiteral("Quayline Folder"));
  setObjectName(QStringLiteral("quayline.folderStack"));
  header_ = new QLabel(this);
  header_->setObjectName(QStringLiteral("quayline.folderStack.name"));
  message_ = new QLabel(this);
  message_->setWordWrap(true);
  message_->setObjectName(QStringLiteral("quayline.folderStack.message"));
  scroll_ = new QScrollArea(this);
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll_->setWidgetResizable(false);
  scroll_->setStyleSheet(QStringLiteral("background: transparent;"));
  scroll_->viewport()->setAutoFillBackground(false);
  footer_ = new QToolButton(this);
  footer_->setObjectName(QStringLiteral("quayline.folderStack.openFolder"));
  footer_->setText(QStringLiteral("Open in Finder"));
  footer_->setIcon(QIcon::fromTheme(QStringLiteral("folder")));
  footer_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  footer_->setAutoRaise(true);
  footer_->setFocusPolicy(Qt::NoFocus);
  connect(footer_, &QToolButton::clicked, this, [this] {
    if (events_.openFolder) {
      events_.openFolder();
    }
  });
  composited_ = s_.windowing.isComposited();
  compositing_ = s_.windowing.observeCompositing([this](bool composited) {
    composited_ = composited;
    updateShape();
    update();
  });
}

FolderStackPanelWindow::~FolderStackPanelWindow() = default;

QImage FolderStackPanelWindow::iconFor(const FolderStackItem& item, double scale) {
  // Names only: the type was told from the file's name off the main thread.
  for (const std::string& name : item.iconNames) {
    if (QIcon::hasThemeIcon(QString::fromStdString(name))) {
      return s_.icons.icon(name, kIconPoints, scale);
    }
  }
  return s_.icons.icon(item.isDirectory ? "folder" : "text-x-generic", kIconPoints, scale);
}

QSize FolderStackPanelWindow::layOutItems(QWidget* container, const FolderStackContent& content,
                                          bool dark) {
  const bool grid = content.style == FolderStackStyle::grid;
  int listWidth = kListMinimumWidth;
  if (!grid) {
    QFont font = this->font();
    font.setPixelSize(12);
    const QFontMetrics metrics(font);
    for (const FolderStackItem& item : content.items) {
      listWidth =
          std::max(listWidth, metrics.horizontalAdvance(QString::fromStdString(item.name)) + 50);
    }
    listWidth = std::min(listWidth, kListMaximumWidth);
  }
  const QSize cell = FolderStackItemButton::gridCell;
  int height = 0;
  for (std::size_t i = 0; i < content.items.size(); ++i) {
    const FolderStackItem& item = content.items[i];
    auto* button = new FolderStackItemButton(item, content.style, iconFor(item, content.scale),
                                             dark, container);
    if (grid) {
      const int column = static_cast<int>(i) % kGridColumns;
      const int row = static_cast<int>(i) / kGridColumns;
      button->setGeometry(kGridPaddingX + column * (cell.width() + kGridColumnSpacing),
                          kGridPaddingY + row * (cell.height() + kGridRowSpacing), cell.width(),
                          cell.height());
      height = button->geometry().bottom() + 1 + kGridPaddingY;
    } else {
      button->setGeometry(0, static_cast<int>(i) * FolderStackItemButton::listRowHeight, listWidth,
                          FolderStackItemButton::listRowHeight);
      height = button->geometry().bottom() + 1 + kListBottom;
    }
    button->onClick = [this](const FolderStackItem& clicked) {
      if (events_.open) {
        events_.open(clicked);
      }
    };
    buttons_.push_back(button);
  }
  const int width = grid ? 2 * kGridPaddingX + kGridColumns * cell.width() +
                               (kGridColumns - 1) * kGridColumnSpacing
                         : listWidth;
  return {width, height};
}

Size FolderStackPanelWindow::setContent(const FolderStackContent& content) {
  content_ = content;
  buttons_.clear();
  if (QWidget* old = scroll_->takeWidget()) {
    old->deleteLater();
  }
  const bool dark = s_.appearance.isDark();
  header_->setStyleSheet(secondaryStyle(dark, 12, true));
  header_->ensurePolished();
  message_->setStyleSheet(secondaryStyle(dark, 12, false));
  footer_->setStyleSheet(QStringLiteral("QToolButton { border: none; font-size: 12px; color: "
                                        "rgba(%1, %1, %1, 230); }")
                             .arg(dark ? 255 : 0));

  // A long folder name is cut rather than widening the stack beyond a grid's width.
  const int widest = 2 * kGridPaddingX + kGridColumns * FolderStackItemButton::gridCell.width() +
                     (kGridColumns - 1) * kGridColumnSpacing;
  const QString name = QString::fromStdString(content.folderName);
  int width = std::clamp(header_->fontMetrics().horizontalAdvance(name) + 2 * kSidePadding,
                         minimumWidth, widest);
  const bool showsItems = !content.readError && !content.items.empty();
  QSize items;
  int scrollbar = 0;
  if (showsItems) {
    auto* container = new QWidget;
    container->setAttribute(Qt::WA_TranslucentBackground);
    items = layOutItems(container, content, dark);
    container->resize(items);
    scroll_->setWidget(container);
    // The scroll bar goes beside the items, never over the last column.
    if (items.height() > maximumScrollHeight) {
      scrollbar = scroll_->verticalScrollBar()->sizeHint().width();
    }
    width = std::max(width, items.width() + scrollbar);
  }
  header_->setText(
      header_->fontMetrics().elidedText(name, Qt::ElideMiddle, width - 2 * kSidePadding));

  int y = 12;
  header_->setGeometry(kSidePadding, y, width - 2 * kSidePadding, header_->sizeHint().height());
  y = header_->geometry().bottom() + 1 + 8;
  message_->setVisible(!showsItems);
  scroll_->setVisible(showsItems);
  if (!showsItems) {
    message_->setText(content.readError ? QString::fromStdString(*content.readError)
                                        : QStringLiteral("Empty"));
    const int textWidth = width - 2 * kSidePadding;
    const int textHeight = message_->heightForWidth(textWidth);
    message_->setGeometry(kSidePadding, y, textWidth,
                          textHeight > 0 ? textHeight : message_->sizeHint().height());
    y = message_->geometry().bottom() + 1 + (content.readError ? 12 : 14);
  } else {
    const int scrollWidth = items.width() + scrollbar;
    scroll_->setGeometry((width - scrollWidth) / 2, y, scrollWidth,
                         std::min(items.height(), maximumScrollHeight));
    y = scroll_->geometry().bottom() + 1;
  }
  dividerY_ = y;
  y += 1;
  const QSize footerSize = footer_->sizeHint();
  footer_->setGeometry(kSidePadding - 4, y + kFooterPaddingY - 3, footerSize.width(),
                       footerSize.height());
  y = footer_->geometry().bottom() + 1 + kFooterPaddingY - 3;
  resize(width, y);
  updateShape();
  update();
  return {static_cast<double>(width), static_cast<double>(y)};
}

void FolderStackPanelWindow::orderFront(Point origin) {
  setGeometry(DockPanel::toQt(
      Rect(origin, Size{static_cast<double>(width()), static_cast<double>(height())})));
  if (!prepared_) {
    prepared_ = true;
    s_.windowing.preparePopup(static_cast<PanelWindowing::WindowId>(winId()));
  }
  if (!QWidget::isVisible()) {
    show();
  }
  raise();
}

void FolderStackPanelWindow::orderOut() {
  hide();
}

bool FolderStackPanelWindow::pointerIsOverOwnWindow() const {
  return QApplication::widgetAt(QCursor::pos()) != nullptr;
}

void FolderStackPanelWindow::updateShape() {
  if (composited_) {
    clearMask();
    return;
  }
  // Without a compositor transparent pixels show black: cut the window to its glass.
  QBitmap shape(size());
  shape.fill(Qt::color0);
  QPainter painter(&shape);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.fillPath(DockGlass::shape(QRectF(rect()), kCornerRadius), Qt::color1);
  painter.end();
  setMask(shape);
}

void FolderStackPanelWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const bool dark = s_.appearance.isDark();
  DockGlass::paint(painter, QRectF(rect()), kCornerRadius,
                   composited_ ? DockGlass::Behind::nothing : DockGlass::Behind::opaque, QImage(),
                   DockTint::current(s_.preferences.customTintColor(), dark), dark);
  painter.setPen(QColor(dark ? 255 : 0, dark ? 255 : 0, dark ? 255 : 0, 40));
  painter.drawLine(QPointF(0, dividerY_ + 0.5), QPointF(width(), dividerY_ + 0.5));
}

}  // namespace quayline
