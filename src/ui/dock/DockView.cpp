#include "ui/dock/DockView.h"

#include <QBitmap>
#include <QPainter>
#include <algorithm>

#include "app/Preferences.h"
#include "chrome/ChromeProfiles.h"
#include "dock/AppAttention.h"
#include "dock/BadgeSource.h"
#include "dock/SystemAppearance.h"
#include "dock/TilePresentation.h"
#include "dock/TileWindows.h"
#include "dock/TrashState.h"
#include "model/TileStore.h"
#include "ui/dock/DockRowView.h"
#include "ui/icons/IconCache.h"
#include "windows/WindowRegistry.h"

namespace quayline {

DockView::DockView(DockViewContext& context, QWidget* parent) : QWidget(parent), context_(context) {
  setAttribute(Qt::WA_NoSystemBackground);
  row_ = new DockRowView(context_, this);
  connect(row_, &DockRowView::glassContextMenuRequested, this,
          &DockView::glassContextMenuRequested);
  connect(row_, &DockRowView::shapeChanged, this, &DockView::shapeChanged);

  // Tells automation whether window access is granted; never takes the pointer.
  accessElement_ = new QWidget(this);
  accessElement_->setAttribute(Qt::WA_TransparentForMouseEvents);
  accessElement_->setGeometry(0, 0, 1, 1);
  updateAccessElement();

  trustedChanged_ = context_.windows.observeTrusted([this](const bool&) { updateAccessElement(); });
  runningChanged_ =
      context_.store.observeRunningBundleIDs([this](const auto&) { rebuildEntries(); });
  windowsChanged_ = context_.windows.observeWindows([this](const auto&) { rebuildEntries(); });
  profilesChanged_ = context_.chromeProfiles.observeProfiles([this] { rebuildEntries(); });
  badgesChanged_ = context_.badges.observeBadges([this] { row_->refresh(); });
  launchingChanged_ =
      context_.attention.observeLaunching([this](const auto&) { row_->updateAttention(); });
  trashChanged_ = context_.trash.observeTrash([this] { row_->refresh(); });
  darkChanged_ = context_.appearance.observeDark([this](const bool&) { row_->update(); });
  iconsChanged_ = context_.icons.observeIconAppearance([this] { row_->update(); });
  watchPreferences();
}

DockView::~DockView() = default;

void DockView::render(const std::vector<Tile>& tiles, const DockLayout& layout,
                      std::optional<DisplayNumber> display) {
  tiles_ = tiles;
  layout_ = layout;
  display_ = display;
  row_->setDisplay(display);
  rebuildEntries();
}

void DockView::rebuildEntries() {
  const std::vector<DisplayBounds> displays = DisplayBounds::current(context_.displays);
  const DisplayScope::TileWindows windowsOf =
      tileWindows(context_.windows, context_.chromeProfiles);
  const TilePresentation::PlacementInputs inputs{
      context_.store.runningBundleIDs(),
      context_.preferences.windowDisplayTarget(),
      context_.preferences.runningAppsScope(),
      display_,
      [this](const ChromeProfileTile& profile) {
        const std::vector<std::string> live = context_.chromeProfiles.liveProfileDirectories();
        return std::find(live.begin(), live.end(), profile.profileDirectory) != live.end();
      },
      [&windowsOf, &displays](const Tile& tile) {
        return DisplayScope::windowDisplays(tile, windowsOf, displays);
      }};
  std::vector<DockRowView::Entry> entries;
  entries.reserve(tiles_.size());
  for (const Tile& tile : tiles_) {
    entries.push_back({tile, TilePresentation::placement(tile, inputs)});
  }
  row_->setEntries(std::move(entries), layout_);
}

void DockView::watchPreferences() {
  using Key = Preferences::Key;
  // The registration is one-shot: renew it from inside the callback.
  preferencesChanged_ = context_.preferences.observeNextChange(
      {Key::customTintColor, Key::magnificationEnabled, Key::windowPreviewsEnabled,
       Key::windowDisplayTarget, Key::runningAppsScope},
      [this] {
        rebuildEntries();
        watchPreferences();
      });
}

void DockView::setMagnifiedRow(std::optional<MagnifiedRow> row) {
  row_->setMagnifiedRow(std::move(row));
}

void DockView::setBackdrop(const QImage& desktopBehind) {
  backdrop_ = desktopBehind;
  updateGlassBehind();
}

void DockView::setComposited(bool composited) {
  composited_ = composited;
  row_->setComposited(composited);
  updateGlassBehind();
}

void DockView::updateGlassBehind() {
  if (!backdrop_.isNull()) {
    row_->setGlassBehind(DockGlass::Behind::backdrop, backdrop_);
  } else {
    row_->setGlassBehind(composited_ ? DockGlass::Behind::nothing : DockGlass::Behind::opaque,
                         QImage());
  }
}

QRegion DockView::glassShape() const {
  return row_->opaqueShape().translated(row_->pos());
}

void DockView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  row_->setGeometry(rect());
}

void DockView::updateAccessElement() {
  accessElement_->setObjectName(context_.windows.isTrusted()
                                    ? QStringLiteral("dock:accessibility:granted")
                                    : QStringLiteral("dock:accessibility:denied"));
  accessElement_->raise();
}

}  // namespace quayline
