#include "ui/panel/DockWindowController.h"

#include <QBitmap>
#include <QImage>

#include "app/Preferences.h"
#include "chrome/ChromeProfiles.h"
#include "dock/DisplayScope.h"
#include "dock/DockDragCommit.h"
#include "dock/TileWindows.h"
#include "model/TileStore.h"
#include "platform/DistributedNotifications.h"
#include "platform/PanelWindowing.h"
#include "ui/dock/DockRowView.h"
#include "ui/dock/DockView.h"
#include "ui/panel/DockPanel.h"
#include "ui/panel/PanelDisplayLink.h"
#include "ui/panel/PointerTracking.h"
#include "windows/WindowRegistry.h"

namespace quayline {

namespace {
constexpr const char* kDockPreferencesChanged = "com.apple.dock.prefchanged";
}

DockWindowController::DockWindowController(const Screen& screen, DockWindowServices& services)
    : screen_(screen),
      services_(services),
      drag_(services.scheduler),
      layout_(DockLayout::current(services.domains)),
      magnification_(services.displays, services.scheduler, services.menus,
                     [this](std::function<void()> step) {
                       return std::make_unique<PanelDisplayLink>(*panel_, std::move(step));
                     }) {
  view_ = new DockView(services.viewContext);
  panel_ = std::make_unique<DockPanel>(services.windowing, view_);
  // The content view's pointer reports drive the magnification; the panel's native window sees
  // the pointer whichever tile is under it.
  panel_->winId();
  tracking_ = new PointerTracking(*panel_->windowHandle());
  tracking_->onEnter = [this] { magnification_.pointerEntered(); };
  tracking_->onMove = [this] { magnification_.pointerMoved(); };
  tracking_->onExit = [this] { magnification_.pointerExited(); };
  magnification_.envelopeChanged = [this] { applyFrame(); };
  magnifiedRow_ = magnification_.observeRow([this](const std::optional<MagnifiedRow>& row) {
    view_->setMagnifiedRow(row);
    reshape();
  });
  QObject::connect(view_, &DockView::shapeChanged, panel_.get(), [this] { reshape(); });
  QObject::connect(view_, &DockView::glassContextMenuRequested, panel_.get(),
                   [this](QPoint position) {
                     if (services_.glassMenuRequested) {
                       services_.glassMenuRequested(position);
                     }
                   });
  view_->setComposited(services.windowing.isComposited());
  // Dragging a tile: moves go to the stores; the magnification rests while a tile is dragged.
  drag_.commit = [this](TileSection section, long from, long to) {
    DockDragCommit::move(services_.store, section, from, to);
  };
  dragSession_ = drag_.observeSession([this](const std::optional<DockDragController::Session>& s) {
    if (s.has_value() != magnification_.isSuspended()) {
      magnification_.setSuspended(s.has_value());
      magnification_.resume();
    }
  });
  view_->row().setDragController(&drag_);

  // Every subscription belongs to this object, so none runs after it is gone.
  tiles_ = services.store.observeTiles([this](const std::vector<Tile>& tiles) {
    drag_.reconcile(tiles);
    applyFrame();
  });
  windows_ =
      services.registry.observeWindows([this](const std::vector<AppWindow>&) { applyFrame(); });
  profiles_ = services.chromeProfiles.observeProfiles([this] { applyFrame(); });
  screens_ = services.displays.observeScreenChanges([this] {
    for (const Screen& now : services_.displays.screens()) {
      if (now.displayNumber == screen_.displayNumber) {
        screen_ = now;
      }
    }
    applyFrame();
  });
  compositing_ = services.windowing.observeCompositing([this](bool composited) {
    view_->setComposited(composited);
    refreshBackdrop();
  });
  background_ = services.windowing.observeDesktopBackground([this] { refreshBackdrop(); });
  observePreferences();
}

DockWindowController::~DockWindowController() = default;

void DockWindowController::observePreferences() {
  // The effective scope also follows the display target (one dock shows everything).
  preferences_ = services_.preferences.observeNextChange(
      {Preferences::Key::runningAppsScope, Preferences::Key::windowDisplayTarget,
       Preferences::Key::magnificationEnabled},
      [this] {
        observePreferences();
        applyFrame();
      });
}

void DockWindowController::show() {
  if (!observesDockPreferences_) {
    observesDockPreferences_ = true;
    dockPreferences_ =
        services_.notifications.observe(kDockPreferencesChanged, [this] { applyFrame(); });
  }
  applyFrame();
  orderFrontUnlessSuppressed();
  refreshBackdrop();
}

void DockWindowController::moveToScreen(const Screen& screen) {
  screen_ = screen;
  applyFrame();
  orderFrontUnlessSuppressed();
  refreshBackdrop();
}

void DockWindowController::retire() {
  drag_.end();
  magnification_.retire();
  panel_->orderOut();
}

void DockWindowController::orderFrontUnlessSuppressed() {
  if (!state_.suppressed) {
    panel_->orderFront();
  }
}

void DockWindowController::setSuppressed(bool suppressed) {
  if (suppressed == state_.suppressed) {
    return;
  }
  state_.suppressed = suppressed;
  if (suppressed) {
    panel_->orderOut();
  } else {
    panel_->orderFront();
    refreshBackdrop();
  }
}

void DockWindowController::applyMagnificationInputs(const std::vector<Tile>& tiles,
                                                    const DockLayout& layout) {
  const Rect resting = DockFrame::resting(layout, tiles, DockFrame::standingArea(screen_));
  magnification_.setRestingFrame(Rect(resting.minX() + DockLayout::rowInset, resting.minY(),
                                      resting.width() - 2 * DockLayout::rowInset,
                                      resting.height()));
  magnification_.setLayout(layout);
  std::vector<double> widths;
  widths.reserve(tiles.size());
  for (const Tile& tile : tiles) {
    widths.push_back(layout.slotWidth(tile.content));
  }
  magnification_.setWidths(std::move(widths));
  magnification_.setEnabled(services_.preferences.magnificationEnabled());
}

void DockWindowController::applyFrame() {
  const DockLayout layout = DockLayout::current(services_.domains);
  auto tiles = DisplayScope::tiles(services_.store.tiles(), screen_.displayNumber,
                                   services_.preferences.effectiveRunningAppsScope(),
                                   tileWindows(services_.registry, services_.chromeProfiles),
                                   DisplayBounds::current(services_.displays));
  // The magnification takes its inputs first: whether a magnified row is up decides the frame.
  applyMagnificationInputs(tiles, layout);
  const auto applied =
      state_.apply(layout, std::move(tiles), screen_, magnification_.row().has_value());
  if (applied.content) {
    layout_ = layout;
    view_->render(applied.content->tiles, layout, applied.content->displayID);
  }
  const QRect before = panel_->geometry();
  panel_->setFrame(applied.frame);
  if (panel_->geometry() != before || applied.content) {
    refreshBackdrop();
  }
}

void DockWindowController::setAutoHidden(bool hidden, bool animated) {
  const auto motion = state_.setAutoHidden(hidden, animated);
  if (!motion) {
    return;
  }
  if (motion->duration == 0) {
    panel_->setFrame(motion->target);
  } else {
    panel_->animateFrame(motion->target, motion->duration,
                         motion->curve == DockWindowState::Curve::easeIn
                             ? DockPanel::Curve::easeIn
                             : DockPanel::Curve::easeOut);
  }
}

void DockWindowController::refreshBackdrop() {
  if (services_.windowing.isComposited()) {
    panel_->clearMask();
    view_->setBackdrop(QImage());
    return;
  }
  // Without a compositor transparent pixels show black: the panel is cut to its glass and the
  // glass drawn over the desktop background behind it.
  const QRect area = panel_->geometry();
  const DesktopImage behind =
      services_.windowing.desktopBackground(Rect(area.x(), area.y(), area.width(), area.height()));
  QImage image;
  if (!behind.empty()) {
    image = QImage(reinterpret_cast<const uchar*>(behind.pixels.data()), behind.width,
                   behind.height, behind.width * 4, QImage::Format_ARGB32)
                .copy();
    // A scaled screen gives more pixels than the panel has points; the glass blurs them anyway.
    if (image.size() != area.size()) {
      image = image.scaled(area.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
  }
  view_->setBackdrop(image);
  reshape();
}

void DockWindowController::reshape() {
  if (services_.windowing.isComposited()) {
    return;
  }
  const QRegion shape = view_->glassShape();
  if (!shape.isEmpty()) {
    panel_->setMask(shape);
  }
}

}  // namespace quayline
