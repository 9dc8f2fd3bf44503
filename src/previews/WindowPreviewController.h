#pragma once

#include <optional>
#include <vector>

#include "dock/DisplayScope.h"
#include "dock/TileHover.h"
#include "foundation/Subscription.h"
#include "previews/PreviewCard.h"

namespace quayline {

class Accessibility;
class Displays;
class MenuTracking;
class Preferences;
class PreviewPanel;
class Scheduler;
class WindowRegistry;
class WindowThumbnailer;
class Workspace;

// Decides when the window preview of a hovered tile opens, switches, stays and closes, and what
// it shows. Main thread.
class WindowPreviewController final : public TileHoverSink {
 public:
  static constexpr double closeDelay = 0.8;
  static constexpr Size thumbnailArea{200, 125};

  struct Services {
    Preferences& preferences;
    WindowRegistry& registry;
    DisplayScope::TileWindows tileWindows;
    Workspace& workspace;
    Accessibility& accessibility;
    Displays& displays;
    MenuTracking& menus;
    Scheduler& scheduler;
    WindowThumbnailer& thumbnails;  // this controller's own
    PreviewPanel& panel;
  };

  explicit WindowPreviewController(Services services);
  WindowPreviewController(const WindowPreviewController&) = delete;
  WindowPreviewController& operator=(const WindowPreviewController&) = delete;

  void tileEntered(const TileHover& hover) override;
  void tileExited(const Tile& tile) override;
  void hide();

  // The windows a preview of `tile` shows on `screen`.
  std::vector<AppWindow> windows(const Tile& tile, std::optional<DisplayNumber> screen) const;

  const std::optional<TileHover>& presented() const { return presented_; }
  const std::vector<PreviewCard>& presentedCards() const { return presentedCards_; }

 private:
  struct TileApp {
    std::string name;
    std::string bundleIdentifier;
    std::optional<Url> url;
  };
  void openTimerFired(const std::string& tileId);
  void scheduleClose();
  void closeTimerFired();
  void present(const TileHover& hover);
  std::optional<TileApp> appFor(const Tile& tile, const std::vector<AppWindow>& windows) const;
  std::optional<Screen> screenFor(const TileHover& hover) const;
  void activate(const PreviewCard& card);
  void watchPreferences();

  Services s_;
  std::optional<TileHover> hoveredTile_;
  std::optional<TileHover> presented_;
  std::vector<PreviewCard> presentedCards_;
  bool pointerInPanel_ = false;
  bool menuIsTracking_ = false;
  Subscription openTimer_;
  Subscription closeTimer_;
  Subscription menus_;
  Subscription screens_;
  Subscription workspace_;
  Subscription windows_;
  Subscription preferences_;
};

}  // namespace quayline
