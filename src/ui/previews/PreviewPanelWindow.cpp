#include "ui/previews/PreviewPanelWindow.h"

#include <QCursor>
#include <QEnterEvent>
#include <QPainter>
#include <algorithm>

#include "app/Preferences.h"
#include "dock/SystemAppearance.h"
#include "platform/PanelWindowing.h"
#include "platform/PointerMotion.h"
#include "previews/WindowThumbnailer.h"
#include "ui/dock/DockGlass.h"
#include "ui/dock/DockTint.h"
#include "ui/icons/IconCache.h"
#include "ui/panel/DockPanel.h"
#include "ui/previews/PreviewCardView.h"
#include "ui/previews/ThumbnailPicture.h"

namespace quayline {

namespace {
constexpr double kCornerRadius = 16;
constexpr double kIconPoints = 56;
}  // namespace

PreviewPanelWindow::PreviewPanelWindow(Services services)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint |
                           Qt::WindowDoesNotAcceptFocus | Qt::WindowStaysOnTopHint),
      s_(services) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_TranslucentBackground);
  setFocusPolicy(Qt::NoFocus);
  setWindowTitle(QStringLiteral("Quayline Preview"));
  setObjectName(QStringLiteral("quayline.preview"));
  composited_ = s_.windowing.isComposited();
  compositing_ = s_.windowing.observeCompositing([this](bool composited) {
    composited_ = composited;
    updateShape();
    update();
  });
  images_ = s_.thumbnails.observeImages([this](const auto&) { updateThumbnails(); });
}

PreviewPanelWindow::~PreviewPanelWindow() = default;

void PreviewPanelWindow::present(const PreviewPresentation& presentation, bool rebuild) {
  if (rebuild || cards_.empty()) {
    this->rebuild(presentation);
  }
  presentation_ = presentation;
  setGeometry(DockPanel::toQt(presentation.frame));
  updateShape();
  if (!prepared_) {
    prepared_ = true;
    s_.windowing.preparePopup(static_cast<PanelWindowing::WindowId>(winId()));
  }
  if (!QWidget::isVisible()) {
    // Presses are watched only while the preview is up; a press inside it is the cards' own.
    presses_ = s_.input.observePresses([this](PointerMotion::Press press) {
      if (press == PointerMotion::Press::escape || !geometry().contains(QCursor::pos())) {
        if (events_.escapeOrClickOutside) {
          events_.escapeOrClickOutside();
        }
      }
    });
    show();
    raise();
  }
}

void PreviewPanelWindow::dismiss() {
  presses_.reset();
  hide();
  for (PreviewCardView* card : cards_) {
    card->deleteLater();
  }
  cards_.clear();
}

void PreviewPanelWindow::rebuild(const PreviewPresentation& presentation) {
  for (PreviewCardView* card : cards_) {
    card->deleteLater();
  }
  cards_.clear();
  const AppTile app{presentation.bundleIdentifier, presentation.bundleIdentifier, presentation.url,
                    std::nullopt};
  const QImage icon = s_.icons.appIcon(app, kIconPoints, presentation.scale);
  const int columns = std::max(1, presentation.layout.columns);
  const bool dark = s_.appearance.isDark();
  for (std::size_t i = 0; i < presentation.cards.size(); ++i) {
    auto* card = new PreviewCardView(presentation.cards[i], this);
    const int column = static_cast<int>(i) % columns;
    const int row = static_cast<int>(i) / columns;
    const Size size = PreviewLayout::cardSize;
    card->move(
        static_cast<int>(PreviewLayout::padding + column * (size.width + PreviewLayout::spacing)),
        static_cast<int>(PreviewLayout::padding + row * (size.height + PreviewLayout::spacing)));
    card->setIcon(icon);
    card->setDark(dark);
    card->onClick = [this](const PreviewCard& clicked) {
      if (events_.cardClicked) {
        events_.cardClicked(clicked);
      }
    };
    card->show();
    cards_.push_back(card);
  }
  updateThumbnails();
  update();
}

void PreviewPanelWindow::updateThumbnails() {
  for (PreviewCardView* card : cards_) {
    card->setThumbnail(s_.thumbnails.image(card->card().windowID));
  }
}

void PreviewPanelWindow::updateShape() {
  ThumbnailPicture::shapePopup(*this, kCornerRadius, composited_);
}

void PreviewPanelWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const bool dark = s_.appearance.isDark();
  DockGlass::paint(painter, QRectF(rect()), kCornerRadius,
                   composited_ ? DockGlass::Behind::nothing : DockGlass::Behind::opaque, QImage(),
                   DockTint::current(s_.preferences.customTintColor(), dark), dark);
}

void PreviewPanelWindow::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  if (events_.pointerEntered) {
    events_.pointerEntered();
  }
}

void PreviewPanelWindow::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  // Moving onto a card is not leaving the panel.
  if (!geometry().contains(QCursor::pos()) && events_.pointerExited) {
    events_.pointerExited();
  }
}

}  // namespace quayline
