#include "previews/WindowPreviewController.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "app/Preferences.h"
#include "dock/MenuTracking.h"
#include "foundation/Fnv.h"
#include "foundation/Scheduler.h"
#include "platform/Accessibility.h"
#include "platform/Displays.h"
#include "platform/Workspace.h"
#include "previews/PreviewCaption.h"
#include "previews/PreviewPanel.h"
#include "previews/WindowThumbnailer.h"
#include "windows/WindowRegistry.h"

namespace quayline {

namespace {

constexpr double kDefaultHoverDelay = 0.3;

double hoverDelay(double stored) {
  if (!std::isfinite(stored)) {
    return kDefaultHoverDelay;
  }
  return std::max(0.0, stored);
}

std::set<WindowNumber> numbers(const std::vector<PreviewCard>& cards) {
  std::set<WindowNumber> result;
  for (const PreviewCard& card : cards) {
    if (card.windowID) {
      result.insert(*card.windowID);
    }
  }
  return result;
}

}  // namespace

WindowPreviewController::WindowPreviewController(Services services) : s_(std::move(services)) {
  s_.panel.setEvents(PreviewPanel::Events{[this] {
                                            pointerInPanel_ = true;
                                            closeTimer_ = {};
                                          },
                                          [this] {
                                            pointerInPanel_ = false;
                                            if (!hoveredTile_) {
                                              scheduleClose();
                                            }
                                          },
                                          [this] { hide(); },
                                          [this](const PreviewCard& card) { activate(card); }});
  menus_ = s_.menus.observe([this](bool tracking) {
    menuIsTracking_ = tracking;
    if (tracking) {
      hide();
    }
  });
  screens_ = s_.displays.observeScreenChanges([this] { hide(); });
  workspace_ = s_.workspace.observe([this](const WorkspaceNotification& notification) {
    if (notification.kind == WorkspaceNotification::Kind::activeSpaceDidChange) {
      hide();
    }
  });
  // The cards follow windows opening, closing and changing their titles.
  windows_ = s_.registry.observeWindows([this](const std::vector<AppWindow>&) {
    if (presented_) {
      present(*presented_);
    }
  });
  watchPreferences();
}

void WindowPreviewController::watchPreferences() {
  preferences_ =
      s_.preferences.observeNextChange({Preferences::Key::windowPreviewsEnabled}, [this] {
        if (!s_.preferences.windowPreviewsEnabled()) {
          hide();
        }
        watchPreferences();
      });
}

std::vector<AppWindow> WindowPreviewController::windows(const Tile& tile,
                                                        std::optional<DisplayNumber> screen) const {
  std::vector<AppWindow> result = s_.tileWindows(tile);
  if (screen &&
      s_.preferences.effectiveRunningAppsScope() == RunningAppsScope::displayWithWindows) {
    result = DisplayScope::windows(result, *screen, DisplayBounds::current(s_.displays));
  }
  return result;
}

void WindowPreviewController::tileEntered(const TileHover& hover) {
  hoveredTile_ = hover;
  closeTimer_ = {};
  openTimer_ = {};
  if (!s_.preferences.windowPreviewsEnabled() || menuIsTracking_) {
    return;
  }
  if (windows(hover.tile, hover.screen).empty()) {
    if (presented_) {
      scheduleClose();
    }
    return;
  }
  if (presented_) {
    present(hover);  // moving from one tile to the next switches at once
    return;
  }
  const std::string tileId = hover.tile.id;
  openTimer_ =
      s_.scheduler.after(Scheduler::Seconds(hoverDelay(s_.preferences.windowPreviewHoverDelay())),
                         [this, tileId] { openTimerFired(tileId); });
}

void WindowPreviewController::openTimerFired(const std::string& tileId) {
  openTimer_ = {};
  if (hoveredTile_ && hoveredTile_->tile.id == tileId && s_.preferences.windowPreviewsEnabled() &&
      !menuIsTracking_ && s_.displays.pressedMouseButtons() == 0) {
    present(*hoveredTile_);
  }
}

void WindowPreviewController::tileExited(const Tile& tile) {
  if (!hoveredTile_ || hoveredTile_->tile.id != tile.id) {
    return;
  }
  hoveredTile_.reset();
  openTimer_ = {};
  if (presented_) {
    scheduleClose();
  }
}

void WindowPreviewController::scheduleClose() {
  closeTimer_ = s_.scheduler.after(Scheduler::Seconds(closeDelay), [this] { closeTimerFired(); });
}

void WindowPreviewController::closeTimerFired() {
  closeTimer_ = {};
  if (pointerInPanel_) {
    return;
  }
  if (hoveredTile_ && !windows(hoveredTile_->tile, hoveredTile_->screen).empty()) {
    return;
  }
  hide();
}

std::optional<WindowPreviewController::TileApp> WindowPreviewController::appFor(
    const Tile& tile, const std::vector<AppWindow>& windows) const {
  const AppTile* appTile = tile.app();
  const ChromeProfileTile* profile = tile.chromeProfile();
  if (!appTile && !profile) {
    return std::nullopt;
  }
  TileApp app;
  app.bundleIdentifier = appTile ? appTile->bundleIdentifier : profile->bundleIdentifier;
  std::optional<RunningApp> running;
  for (const RunningApp& candidate : s_.workspace.runningApplications()) {
    if (candidate.pid == windows.front().pid) {
      running = candidate;
      break;
    }
  }
  app.url =
      running && running->bundleURL ? running->bundleURL : (appTile ? appTile->url : std::nullopt);
  if (running && running->localizedName) {
    app.name = *running->localizedName;
  } else {
    app.name = appTile ? appTile->displayName : profile->bundleIdentifier;
  }
  return app;
}

std::optional<Screen> WindowPreviewController::screenFor(const TileHover& hover) const {
  const std::vector<Screen> screens = s_.displays.screens();
  if (hover.screen) {
    for (const Screen& screen : screens) {
      if (screen.displayNumber == *hover.screen) {
        return screen;
      }
    }
  }
  for (const Screen& screen : screens) {
    if (screen.frame.intersects(hover.frame)) {
      return screen;
    }
  }
  return s_.displays.mainScreen();
}

void WindowPreviewController::present(const TileHover& hover) {
  const std::vector<AppWindow> windows = this->windows(hover.tile, hover.screen);
  if (windows.empty()) {
    hide();
    return;
  }
  const std::optional<TileApp> app = appFor(hover.tile, windows);
  const std::optional<Screen> screen = app ? screenFor(hover) : std::nullopt;
  if (!app || !screen) {
    hide();
    return;
  }
  const int count = static_cast<int>(windows.size());
  const PreviewLayout layout = PreviewLayout::fitting(count, screen->visibleFrame.width());
  std::vector<PreviewCard> cards;
  for (const AppWindow& window : windows) {
    if (static_cast<int>(cards.size()) == layout.capacity()) {
      break;
    }
    PreviewCard card;
    card.window = window;
    const std::string& title = window.title.empty() ? app->name : window.title;
    const PreviewCaption caption = PreviewCaption::parts(title, app->name);
    card.primary = caption.primary;
    card.secondary = caption.secondary;
    if (const auto number = s_.accessibility.windowNumber(window.element); number && *number) {
      card.windowID = *number;
    }
    card.accessibilityIdentifier =
        "preview:" + std::to_string(window.pid) + ":" + fnv1a32Hex(window.title);
    cards.push_back(std::move(card));
  }

  const bool sameTile = presented_ && presented_->tile.id == hover.tile.id;
  const bool sameWindows = sameTile && numbers(cards) == numbers(presentedCards_);
  const bool rebuild = !(sameWindows && cards == presentedCards_);
  if (!sameWindows) {
    const std::set<WindowNumber> wanted = numbers(cards);
    s_.thumbnails.refresh(std::vector<WindowNumber>(wanted.begin(), wanted.end()), thumbnailArea,
                          screen->backingScaleFactor);
  }

  PreviewPresentation presentation;
  presentation.layout = layout;
  presentation.bundleIdentifier = app->bundleIdentifier;
  presentation.url = app->url;
  presentation.scale = screen->backingScaleFactor;
  presentation.frame = previewFrame(hover.frame, layout.panelSize(static_cast<int>(cards.size())),
                                    screen->frame, screen->visibleFrame);
  presentation.cards = cards;
  presentedCards_ = std::move(cards);
  presented_ = hover;
  s_.panel.present(presentation, rebuild);
}

void WindowPreviewController::hide() {
  openTimer_ = {};
  closeTimer_ = {};
  s_.thumbnails.cancel();
  presented_.reset();
  presentedCards_.clear();
  pointerInPanel_ = false;
  if (s_.panel.isVisible()) {
    s_.panel.dismiss();
  }
}

void WindowPreviewController::activate(const PreviewCard& card) {
  hide();
  const AppWindow& window = card.window;
  if (window.isMinimized) {
    s_.accessibility.setAttribute(window.element, AX::minimized, AXValue(false));
  }
  s_.accessibility.performAction(window.element, AX::raise);
  s_.workspace.activate(window.pid);
}

}  // namespace quayline
