#include "ui/dock/DockRowView.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <chrono>
#include <cmath>

#include "app/Preferences.h"
#include "chrome/ChromeProfiles.h"
#include "dock/AppAttention.h"
#include "dock/BadgeSource.h"
#include "dock/DockDragCommit.h"
#include "dock/DockDragController.h"
#include "dock/SystemAppearance.h"
#include "dock/TileBounce.h"
#include "dock/TileHover.h"
#include "dock/TileInteraction.h"
#include "dock/TilePresentation.h"
#include "dock/TrashState.h"
#include "ui/dock/DockTint.h"
#include "ui/dock/DraggedTileWindow.h"
#include "ui/dock/ProfileTileView.h"
#include "ui/dock/TileBadgeView.h"
#include "ui/dock/TileElement.h"
#include "ui/dock/TileMenuPresenter.h"
#include "ui/icons/IconCache.h"
#include "windows/WindowRegistry.h"

namespace quayline {
namespace {

QString qstring(const std::string& text) {
  return QString::fromStdString(text);
}

// Tiles drawn as an icon in the full tile frame.
bool hasIcon(const Tile& tile) {
  return tile.app() || tile.chromeProfile() || tile.folder() || tile.isTrash();
}

// The hop of a launching icon at rest, in points; it grows with the tile.
constexpr double kBounceHeight = 6;
constexpr int kBounceFrameInterval = 16;

QColor primary(bool isDark, double opacity) {
  QColor color = isDark ? Qt::white : Qt::black;
  color.setAlphaF(static_cast<float>(opacity));
  return color;
}

}  // namespace

DockRowView::DockRowView(DockViewContext& context, QWidget* parent)
    : QWidget(parent), context_(context) {
  setAttribute(Qt::WA_NoSystemBackground);
  bounceTimer_.setInterval(kBounceFrameInterval);
  bounceTimer_.setTimerType(Qt::PreciseTimer);
  connect(&bounceTimer_, &QTimer::timeout, this, [this] {
    update();
    Q_EMIT shapeChanged();
  });
  geometry_ = DockRowGeometry::compute(std::vector<double>{}, layout_, std::nullopt, false);
  dragTimer_.setInterval(kBounceFrameInterval);
  dragTimer_.setTimerType(Qt::PreciseTimer);
  connect(&dragTimer_, &QTimer::timeout, this, [this] { followDrag(); });
}

DockRowView::~DockRowView() = default;

void DockRowView::setEntries(std::vector<Entry> entries, const DockLayout& layout) {
  const bool sameTiles =
      entries.size() == entries_.size() &&
      std::equal(entries.begin(), entries.end(), entries_.begin(),
                 [](const Entry& a, const Entry& b) { return a.tile.id == b.tile.id; });
  entries_ = std::move(entries);
  layout_ = layout;
  slotWidths_.clear();
  for (const Entry& entry : entries_) {
    slotWidths_.push_back(layout_.slotWidth(entry.tile.content));
  }
  if (sameTiles) {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      elements_[i]->setTile(entries_[i].tile);
    }
  } else {
    rebuildElements();
  }
  layoutElements();
  refresh();
  updateAttention();
}

void DockRowView::setMagnifiedRow(std::optional<MagnifiedRow> row) {
  if (row == row_) {
    return;
  }
  row_ = std::move(row);
  layoutElements();
  update();
}

void DockRowView::setGlassBehind(DockGlass::Behind behind, const QImage& backdrop) {
  behind_ = behind;
  if (backdrop.cacheKey() != backdrop_.cacheKey()) {
    backdrop_ = backdrop;
    softened_ = {};
  }
  update();
}

QRectF DockRowView::glassRect() const {
  const double rowBottom = height() - DockLayout::gapBelowRow;
  return QRectF((width() - geometry_.glassWidth) * 0.5, rowBottom - geometry_.glassHeight,
                geometry_.glassWidth, geometry_.glassHeight);
}

QRectF DockRowView::tileFrame(std::size_t index) const {
  const DockRowGeometry::Placed& placed = geometry_.placed.at(index);
  const double rowBottom = height() - DockLayout::gapBelowRow;
  const double stackLeft = (width() - geometry_.restWidth) * 0.5;
  const double dragOffset = drag_ != nullptr ? drag_->displayedOffset(entries_.at(index).tile) : 0;
  return QRectF(stackLeft + placed.restingMinX + placed.offset + dragOffset,
                rowBottom - geometry_.rowHeight, placed.slotWidth, geometry_.rowHeight);
}

QRectF DockRowView::iconRect(std::size_t index) const {
  const QRectF frame = tileFrame(index);
  const double size = std::round(layout_.t() * geometry_.placed.at(index).magnification.scale);
  const double bottom = frame.bottom() - DockLayout::rowMargin;
  return QRectF(frame.center().x() - size * 0.5, bottom - size, size, size);
}

void DockRowView::refresh() {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    describe(i);
  }
  update();
  // Badges come and go with a refresh.
  Q_EMIT shapeChanged();
}

void DockRowView::rebuildElements() {
  // A rebuild can come from inside an element's own event (a drag that ends commits at once):
  // the old elements go once that event has returned.
  for (TileElement* element : elements_) {
    element->hide();
    element->deleteLater();
  }
  elements_.clear();
  elements_.reserve(entries_.size());
  for (const Entry& entry : entries_) {
    auto* element = new TileElement(entry.tile, this);
    if (entry.tile.app() || entry.tile.chromeProfile()) {
      element->onEnter = [this](TileElement& entered) { this->entered(entered); };
      element->onExit = [this](TileElement& exited) { context_.hovers.tileExited(exited.tile()); };
    }
    element->onClick = [this](TileElement& clicked) { this->clicked(clicked); };
    element->onContextMenu = [this](TileElement& target, QPoint position) {
      contextMenu(target, position);
    };
    if (drag_ != nullptr && DockDragController::canDrag(entry.tile)) {
      element->onDrag = [this](TileElement& moved, QPointF translation) {
        dragged(moved, translation);
      };
      element->onDragEnd = [this](TileElement& ended, bool released) {
        dragEnded(ended, released);
      };
    }
    element->show();
    elements_.push_back(element);
  }
}

void DockRowView::layoutElements() {
  geometry_ = DockRowGeometry::compute(slotWidths_, layout_, row_,
                                       context_.preferences.magnificationEnabled());
  for (std::size_t i = 0; i < elements_.size(); ++i) {
    const QRectF frame = tileFrame(i);
    QRectF hit = frame;
    if (hasIcon(entries_[i].tile)) {
      // A magnified tile is hit where it is drawn: its frame scaled about the bottom centre.
      const double scale = geometry_.placed[i].magnification.scale;
      hit = QRectF(frame.center().x() - frame.width() * scale * 0.5,
                   frame.bottom() - frame.height() * scale, frame.width() * scale,
                   frame.height() * scale);
    }
    elements_[i]->setGeometry(hit.toAlignedRect());
  }
}

bool DockRowView::hasWindows(const Tile& tile) const {
  const AppTile* app = tile.app();
  if (app == nullptr) {
    return false;
  }
  if (app->processIdentifier) {
    for (const AppWindow& window : context_.windows.windows(app->bundleIdentifier)) {
      if (window.pid == *app->processIdentifier) {
        return true;
      }
    }
    return false;
  }
  if (app->bundleIdentifier == kChromeBundleIdentifier) {
    return !context_.chromeProfiles.unattributedWindows().empty();
  }
  return !context_.windows.windows(app->bundleIdentifier).empty();
}

void DockRowView::describe(std::size_t index) {
  const Entry& entry = entries_[index];
  TileElement& element = *elements_[index];
  const Tile& tile = entry.tile;
  QString name;
  QString value;
  QString toolTip;
  if (const AppTile* app = tile.app()) {
    name = qstring(app->displayName);
    value = qstring(TilePresentation::appAccessibilityValue(
        entry.placement.isLit, context_.badges.badge(app->bundleIdentifier)));
    if (auto tip = TilePresentation::appToolTip(*app, hasWindows(tile),
                                                context_.preferences.windowPreviewsEnabled())) {
      toolTip = qstring(*tip);
    }
  } else if (const ChromeProfileTile* profile = tile.chromeProfile()) {
    name = qstring(profile->displayName);
    value = entry.placement.isLit ? QStringLiteral("running") : QString();
    if (auto tip = TilePresentation::profileToolTip(*profile, entry.placement.isLit,
                                                    context_.preferences.windowPreviewsEnabled())) {
      toolTip = qstring(*tip);
    }
  } else if (const FolderTile* folder = tile.folder()) {
    name = qstring(folder->displayName);
    toolTip = name;
  } else if (tile.spacer()) {
    name = QStringLiteral("Spacer");
  } else if (tile.isTrash()) {
    name = QStringLiteral("Trash");
    value = context_.trash.isFull() ? QStringLiteral("full") : QStringLiteral("empty");
    toolTip = QStringLiteral("Trash");
  }
  element.setObjectName(qstring(tile.id));
  element.setAccessibleName(name);
  element.setAccessibleDescription(value);
  element.setToolTip(toolTip);
}

std::optional<std::size_t> DockRowView::indexOf(const TileElement& element) const {
  const auto found = std::find(elements_.begin(), elements_.end(), &element);
  if (found == elements_.end()) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(found - elements_.begin());
}

void DockRowView::clicked(TileElement& element) {
  const auto index = indexOf(element);
  if (!index) {
    return;
  }
  const Entry& entry = entries_[*index];
  const TileClickPlace place{screenFrame(*index),
                             entry.placement.displayID ? entry.placement.displayID : display_,
                             QGuiApplication::keyboardModifiers().testFlag(Qt::AltModifier)};
  // After the event: what the click starts may rebuild this row and its elements.
  QTimer::singleShot(0, this, [this, entry, place] {
    context_.interaction.click(entry.tile, entry.placement.displayID, place);
  });
}

void DockRowView::contextMenu(TileElement& element, QPoint position) {
  const auto index = indexOf(element);
  if (!index) {
    return;
  }
  const Entry& entry = entries_[*index];
  const Menu menu = context_.interaction.menu(entry.tile, entry.placement.displayID);
  if (menu.empty()) {
    Q_EMIT glassContextMenuRequested(position);
    return;
  }
  const QRectF frame = tileFrame(*index);
  TileMenuPresenter::popUpAbove(
      menu, QRect(mapToGlobal(frame.topLeft().toPoint()), frame.size().toSize()), context_.menus);
}

void DockRowView::entered(TileElement& element) {
  const auto found = indexOf(element);
  if (!found) {
    return;
  }
  const std::size_t index = *found;
  Rect frame = screenFrame(index);
  // Grown upwards so that the frame covers a tile drawn at twice its size.
  frame.size.height += geometry_.hoverHeadroom;
  context_.hovers.tileEntered(TileHover{
      element.tile(), frame,
      entries_[index].placement.displayID ? entries_[index].placement.displayID : display_});
}

Rect DockRowView::screenFrame(std::size_t index) const {
  const QRectF frame = tileFrame(index);
  const QPointF topLeft = mapToGlobal(frame.topLeft());
  // Screen coordinates: origin at the primary screen's bottom-left corner, y up.
  const QRect primary = QGuiApplication::primaryScreen()->geometry();
  const double bottom = topLeft.y() + frame.height();
  return Rect(topLeft.x() - primary.x(), primary.y() + primary.height() - bottom, frame.width(),
              frame.height());
}

double DockRowView::backingScale() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->devicePixelRatio() : 2.0;
}

double DockRowView::iconPointSize(std::size_t index) const {
  const TileMagnification& magnification = geometry_.placed[index].magnification;
  return layout_.t() * (magnification.scale > 1 ? magnification.rasterScale : 1);
}

void DockRowView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const bool isDark = context_.appearance.isDark();
  if (behind_ == DockGlass::Behind::backdrop && softened_.isNull() && !backdrop_.isNull()) {
    softened_ = DockGlass::soften(backdrop_);
  }
  const QRectF glass = glassRect();
  // The backdrop covers the whole widget; the glass shows the part under itself.
  QImage underGlass;
  if (behind_ == DockGlass::Behind::backdrop && !softened_.isNull()) {
    underGlass = softened_.copy(glass.toAlignedRect());
  }
  DockGlass::paint(
      painter, glass, geometry_.glassCornerRadius,
      underGlass.isNull() && behind_ == DockGlass::Behind::backdrop ? DockGlass::Behind::opaque
                                                                    : behind_,
      underGlass, DockTint::current(context_.preferences.customTintColor(), isDark), isDark);
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    paintTile(painter, i, isDark);
  }
}

QImage DockRowView::iconImage(std::size_t index) const {
  const Tile& tile = entries_[index].tile;
  const double pointSize = iconPointSize(index);
  const double scale = backingScale();
  if (const AppTile* app = tile.app()) {
    return context_.icons.appIcon(*app, pointSize, scale);
  }
  if (const ChromeProfileTile* profile = tile.chromeProfile()) {
    return context_.icons.appIcon(AppTile{profile->bundleIdentifier, {}, {}, {}}, pointSize, scale);
  }
  if (const FolderTile* folder = tile.folder()) {
    return context_.icons.iconForFile(folder->url.path(), pointSize, scale);
  }
  if (tile.isTrash()) {
    return context_.icons.icon(context_.trash.isFull() ? "user-trash-full" : "user-trash",
                               pointSize, scale);
  }
  return {};
}

bool DockRowView::isLaunching(std::size_t index) const {
  const AppTile* app = entries_[index].tile.app();
  return app != nullptr &&
         context_.attention.isLaunching(app->bundleIdentifier, entries_[index].placement.displayID);
}

double DockRowView::bounceOffset(std::size_t index) const {
  if (!bounceTimer_.isActive() || !isLaunching(index)) {
    return 0;
  }
  const TileBounce bounce{true, kBounceHeight * geometry_.placed[index].magnification.scale};
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return bounce.offset(std::chrono::duration<double>(now).count());
}

void DockRowView::updateAttention() {
  for (QWidget* marker : attentionMarkers_) {
    delete marker;
  }
  attentionMarkers_.clear();
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (!isLaunching(i)) {
      continue;
    }
    // Tells automation the tile is launching; never takes the pointer.
    auto* marker = new QWidget(this);
    marker->setAttribute(Qt::WA_TransparentForMouseEvents);
    marker->setObjectName(qstring(attentionIdentifier(entries_[i].tile.app()->bundleIdentifier)));
    const QRectF icon = iconRect(i);
    marker->setGeometry(static_cast<int>(icon.center().x()), static_cast<int>(icon.top()), 1, 1);
    marker->show();
    attentionMarkers_.push_back(marker);
  }
  // Redrawn at the display's pace only while something bounces.
  if (attentionMarkers_.empty()) {
    bounceTimer_.stop();
  } else if (!bounceTimer_.isActive()) {
    bounceTimer_.start();
  }
  update();
  Q_EMIT shapeChanged();
}

QRegion DockRowView::opaqueShape() const {
  QImage image(size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::black);
  painter.drawPath(DockGlass::shape(glassRect(), geometry_.glassCornerRadius));
  // Grown or lifted icons reach above the glass: their own pixels belong to the shape too.
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (!hasIcon(entries_[i].tile)) {
      continue;
    }
    const QImage icon = iconImage(i);
    const QRectF rect = iconRect(i).translated(0, -bounceOffset(i));
    if (!icon.isNull()) {
      painter.drawImage(rect, icon);
    } else if (entries_[i].tile.chromeProfile()) {
      painter.drawEllipse(rect);
    }
    if (const AppTile* app = entries_[i].tile.app()) {
      if (auto badge = context_.badges.badge(app->bundleIdentifier); badge && !badge->empty()) {
        TileBadgeView::paint(painter, qstring(*badge), rect, false);
      }
    }
  }
  painter.end();
  return QRegion(QBitmap::fromImage(image.createAlphaMask()));
}

void DockRowView::paintTile(QPainter& painter, std::size_t index, bool isDark) {
  const Entry& entry = entries_[index];
  const Tile& tile = entry.tile;
  if (tile.spacer() || isDragged(index)) {
    return;  // a dragged tile is drawn in its own window, over everything
  }
  if (tile.isDivider()) {
    const QRectF frame = tileFrame(index);
    const double height = layout_.t() * 0.9;
    // One device pixel wide, on the pixel grid, so the line stays crisp.
    const QRectF line(std::floor(frame.center().x() - 0.5), frame.center().y() - height * 0.5, 1,
                      height);
    painter.fillRect(line, primary(isDark, 0.18));
    return;
  }
  const QRectF icon = iconRect(index).translated(0, -bounceOffset(index));
  const QImage image = iconImage(index);
  if (!image.isNull()) {
    const bool exact =
        std::abs(image.width() - icon.width()) < 0.5 && icon.x() == std::floor(icon.x());
    painter.setRenderHint(QPainter::SmoothPixmapTransform, !exact);
    painter.drawImage(icon, image);
  }
  if (const ChromeProfileTile* profile = tile.chromeProfile()) {
    ProfileTileView::paintBadge(
        painter, icon, *profile, context_.chromeProfiles.avatarImage(profile->profileDirectory),
        context_.icons, {layout_.t(), geometry_.placed[index].magnification.scale, backingScale()});
  }
  if ((tile.app() || tile.chromeProfile()) && entry.placement.isLit) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(primary(isDark, 1));
    // Bottom-aligned with the icon, then 3 points lower.
    painter.drawEllipse(QRectF(icon.center().x() - 2, icon.bottom() - 4 + 3, 4, 4));
    painter.restore();
  }
  if (const AppTile* app = tile.app()) {
    if (auto badge = context_.badges.badge(app->bundleIdentifier); badge && !badge->empty()) {
      TileBadgeView::paint(painter, qstring(*badge), icon, isDark);
    }
  }
}

void DockRowView::setDragController(DockDragController* drag) {
  drag_ = drag;
  dragSession_ = drag_ != nullptr ? drag_->observeSession([this](const auto&) {
    if (!dragTimer_.isActive()) {
      dragTimer_.start();
    }
    followDrag();
  })
                                  : Subscription();
  rebuildElements();
  layoutElements();
}

bool DockRowView::isDragged(std::size_t index) const {
  return drag_ != nullptr && drag_->isDragged(entries_[index].tile);
}

void DockRowView::dragged(TileElement& element, QPointF translation) {
  if (drag_ == nullptr) {
    return;
  }
  std::vector<Tile> tiles;
  tiles.reserve(entries_.size());
  for (const Entry& entry : entries_) {
    tiles.push_back(entry.tile);
  }
  drag_->update(element.tile(), Size{translation.x(), translation.y()}, tiles, layout_);
}

void DockRowView::dragEnded(TileElement& element, bool released) {
  if (drag_ == nullptr) {
    return;
  }
  // Ending may already change the store, which rebuilds the elements.
  Tile tile = element.tile();
  const auto outcome = drag_->end();
  if (!released) {
    return;
  }
  // After the event: the change rebuilds this row and its elements.
  QTimer::singleShot(0, this, [this, outcome, tile = std::move(tile)] {
    DockDragCommit::apply(context_.store, outcome, tile);
  });
}

void DockRowView::followDrag() {
  layoutElements();
  update();
  Q_EMIT shapeChanged();
  std::optional<std::size_t> dragged;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (isDragged(i)) {
      dragged = i;
    }
  }
  if (dragged) {
    if (!floating_) {
      floating_ = std::make_unique<DraggedTileWindow>();
    }
    const Tile& tile = entries_[*dragged].tile;
    const QRectF icon = iconRect(*dragged).translated(0, -drag_->lift(tile));
    floating_->present(iconImage(*dragged), QRectF(mapToGlobal(icon.topLeft()), icon.size()),
                       drag_->wouldRemove(tile), composited_);
  } else if (floating_) {
    floating_->hide();
  }
  if (drag_ == nullptr || (!drag_->isActive() && !drag_->isSettling())) {
    dragTimer_.stop();
  }
}

void DockRowView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  softened_ = {};
  layoutElements();
}

void DockRowView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton &&
      DockGlass::shape(glassRect(), geometry_.glassCornerRadius).contains(event->position())) {
    Q_EMIT glassContextMenuRequested(event->globalPosition().toPoint());
    event->accept();
    return;
  }
  QWidget::mousePressEvent(event);
}

}  // namespace quayline
