#include "ui/settings/SettingsWindowController.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include "settings/SettingsWindowFrame.h"
#include "ui/settings/GeneralPane.h"
#include "ui/settings/SettingsWindow.h"

namespace quayline {

namespace {

std::vector<Rect> screenFrames() {
  std::vector<Rect> frames;
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect area = screen->availableGeometry();
    frames.emplace_back(area.x(), area.y(), area.width(), area.height());
  }
  return frames;
}

}  // namespace

SettingsWindowController::SettingsWindowController(SettingsServices services,
                                                   PermissionsContent permissions)
    : services_(std::move(services)), permissions_(std::move(permissions)) {}

SettingsWindowController::~SettingsWindowController() {
  if (window_ && window_->isVisible()) {
    window_->storeFrame();
  }
}

void SettingsWindowController::create() {
  window_ =
      std::make_unique<SettingsWindow>(services_, navigation_, permissions_, [this] { show(); });
  const auto frame =
      SettingsWindowFrame::restored(SettingsWindowFrame::stored(services_.domains), screenFrames());
  if (frame) {
    window_->setGeometry(static_cast<int>(frame->minX()), static_cast<int>(frame->minY()),
                         static_cast<int>(frame->width()), static_cast<int>(frame->height()));
  } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect centred = window_->geometry();
    centred.moveCenter(screen->availableGeometry().center());
    window_->move(centred.topLeft());
  }
}

void SettingsWindowController::show(std::optional<SettingsPane> pane) {
  if (!window_) {
    create();
  }
  if (pane) {
    navigation_.pane.set(*pane);
  }
  SettingsWindow* window = window_.get();
  if (window->isMinimized()) {
    window->showNormal();
  }
  window->show();
  window->raise();
  window->activateWindow();
  // The window manager can still be mapping the window on the first attempt: ask again once the
  // event loop has turned.
  QTimer::singleShot(0, window, [window] {
    window->raise();
    window->activateWindow();
  });
}

void SettingsWindowController::showDockActions() {
  show(SettingsPane::general);
  auto& general = static_cast<GeneralPane&>(window_->pane(SettingsPane::general));
  general.ensureWidgetVisible(general.dockActionsSection());
}

}  // namespace quayline
