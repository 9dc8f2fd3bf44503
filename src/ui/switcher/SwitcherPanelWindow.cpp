#include "ui/switcher/SwitcherPanelWindow.h"

#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>

#include "app/Preferences.h"
#include "dock/SystemAppearance.h"
#include "platform/PanelWindowing.h"
#include "previews/WindowThumbnailer.h"
#include "switcher/SwitcherModel.h"
#include "ui/dock/DockGlass.h"
#include "ui/dock/DockTint.h"
#include "ui/icons/IconCache.h"
#include "ui/panel/DockPanel.h"
#include "ui/previews/ThumbnailPicture.h"
#include "ui/switcher/SwitcherCardView.h"

namespace quayline {

namespace {

QString qstring(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

SwitcherPanelWindow::SwitcherPanelWindow(Services services)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint |
                           Qt::WindowDoesNotAcceptFocus | Qt::WindowStaysOnTopHint),
      s_(services),
      scroll_(new QScrollArea(this)),
      grid_(new QWidget) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_TranslucentBackground);
  setFocusPolicy(Qt::NoFocus);
  setWindowTitle(QStringLiteral("Quayline Switcher"));
  setObjectName(QStringLiteral("quayline.switcher"));
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll_->setFocusPolicy(Qt::NoFocus);
  scroll_->setStyleSheet(QStringLiteral("background: transparent"));
  grid_->setAttribute(Qt::WA_TranslucentBackground);
  scroll_->setWidget(grid_);
  composited_ = s_.windowing.isComposited();
  compositing_ = s_.windowing.observeCompositing([this](bool composited) {
    composited_ = composited;
    updateShape();
    update();
  });
}

SwitcherPanelWindow::~SwitcherPanelWindow() = default;

void SwitcherPanelWindow::prepare() {
  if (!prepared_) {
    prepared_ = true;
    s_.windowing.preparePopup(static_cast<PanelWindowing::WindowId>(winId()));
  }
}

void SwitcherPanelWindow::present(const SwitcherPresentation& presentation) {
  presentation_ = presentation;
  prepare();
  setGeometry(DockPanel::toQt(presentation.frame));
  scroll_->setGeometry(rect());
  rebuild();
  updateShape();
  selection_ = s_.model.observeSelection([this](const int&) { updateSelection(); });
  images_ = s_.thumbnails.observeImages([this](const auto&) { updateThumbnails(); });
  if (!QWidget::isVisible()) {
    show();
  }
  raise();
  update();
}

void SwitcherPanelWindow::dismiss() {
  selection_.reset();
  images_.reset();
  hide();
  for (SwitcherCardView* card : cards_) {
    card->deleteLater();
  }
  cards_.clear();
}

void SwitcherPanelWindow::rebuild() {
  for (SwitcherCardView* card : cards_) {
    card->deleteLater();
  }
  cards_.clear();
  const SwitcherLayout& layout = presentation_.layout;
  const auto& candidates = s_.model.candidates();
  const int count = static_cast<int>(candidates.size());
  const Size full = layout.panelSize(count);
  grid_->setFixedSize(static_cast<int>(full.width), static_cast<int>(full.height));
  const int columns = std::max(1, layout.columns);
  const bool dark = s_.appearance.isDark();
  const double scale = presentation_.backingScale;
  // Without cards the panel itself tells why, as one element.
  grid_->setObjectName(count == 0 ? QStringLiteral("switcher:empty") : QString());
  grid_->setAccessibleName(count == 0 ? qstring(presentation_.emptyTitle) : QString());
  for (int i = 0; i < count; ++i) {
    const SwitcherCandidate& candidate = candidates[static_cast<std::size_t>(i)];
    auto* card = new SwitcherCardView(candidate, layout, grid_);
    card->move(
        static_cast<int>(layout.padding() + (i % columns) * (layout.cardWidth() + layout.gap())),
        static_cast<int>(layout.padding() + (i / columns) * (layout.cardHeight() + layout.gap())));
    const AppTile app{candidate.window.bundleIdentifier, candidate.appName, candidate.bundleURL,
                      std::nullopt};
    card->setIcons(
        s_.icons.appIcon(app, layout.measure(SwitcherLayout::baseIcon), scale),
        s_.icons.appIcon(app, layout.measure(SwitcherLayout::basePlaceholderIcon), scale));
    card->setDark(dark);
    card->onHover = [this, i] {
      if (events_.pointerOverCard) {
        events_.pointerOverCard(i);
      }
    };
    card->onClick = [this, i] {
      if (events_.cardClicked) {
        events_.cardClicked(i);
      }
    };
    card->show();
    cards_.push_back(card);
  }
  updateThumbnails();
  updateSelection();
}

void SwitcherPanelWindow::updateSelection() {
  const int selected = s_.model.selectionIndex();
  for (std::size_t i = 0; i < cards_.size(); ++i) {
    cards_[i]->setSelected(static_cast<int>(i) == selected);
  }
  if (selected >= 0 && selected < static_cast<int>(cards_.size())) {
    scroll_->ensureWidgetVisible(cards_[static_cast<std::size_t>(selected)], 0,
                                 static_cast<int>(presentation_.layout.padding()));
  }
}

void SwitcherPanelWindow::updateThumbnails() {
  for (SwitcherCardView* card : cards_) {
    card->setThumbnail(s_.thumbnails.image(card->candidate().windowID));
  }
}

void SwitcherPanelWindow::updateShape() {
  ThumbnailPicture::shapePopup(*this, presentation_.layout.measure(SwitcherLayout::basePanelRadius),
                               composited_);
}

void SwitcherPanelWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const bool dark = s_.appearance.isDark();
  const double radius = presentation_.layout.measure(SwitcherLayout::basePanelRadius);
  DockGlass::paint(painter, QRectF(rect()), radius,
                   composited_ ? DockGlass::Behind::nothing : DockGlass::Behind::opaque, QImage(),
                   DockTint::current(s_.preferences.customTintColor(), dark), dark);
  if (!cards_.empty()) {
    return;
  }
  const QColor primary = dark ? Qt::white : Qt::black;
  QColor secondary = primary;
  secondary.setAlphaF(0.55F);
  QFont font = painter.font();
  font.setPixelSize(13);
  font.setWeight(QFont::DemiBold);
  painter.setFont(font);
  painter.setPen(primary);
  const QRectF area(rect());
  painter.drawText(QRectF(0, 0, area.width(), area.height() / 2 + 2),
                   Qt::AlignHCenter | Qt::AlignBottom, qstring(presentation_.emptyTitle));
  font.setPixelSize(11);
  font.setWeight(QFont::Normal);
  painter.setFont(font);
  painter.setPen(secondary);
  painter.drawText(QRectF(0, area.height() / 2 + 4, area.width(), area.height() / 2 - 4),
                   Qt::AlignHCenter | Qt::AlignTop, qstring(presentation_.emptyDetail));
}

}  // namespace quayline
