#pragma once

// A dock view of 40 app tiles at tile size 64 over the test fakes, painted offscreen: what the
// view benchmarks measure.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <memory>
#include <string>
#include <vector>

#include "dock/AppAttention.h"
#include "dock/IconAppearanceMonitor.h"
#include "dock/MenuTracking.h"
#include "dock/SystemAppearance.h"
#include "dock/TileInteraction.h"
#include "fakes/FakeDockServices.h"
#include "fakes/FakeTrash.h"
#include "platform/ApplicationIconNames.h"
#include "platform/DesktopAppearance.h"
#include "stacks/AppRecentItemsService.h"
#include "ui/dock/DockRowView.h"
#include "ui/dock/DockView.h"
#include "ui/dock/NullSources.h"
#include "ui/icons/IconCache.h"

namespace quayline::bench {

class StillDesktop final : public DesktopAppearance {
 public:
  ColorScheme colorScheme() override { return ColorScheme::light; }
  AccessibilityDisplayOptions accessibilityDisplayOptions() override { return {}; }
  std::string iconTheme() override { return "Adwaita"; }
  Subscription observeChanges(std::function<void()>) override { return {}; }
};

class NoIconNames final : public ApplicationIconNames {
 public:
  std::optional<std::string> iconName(const std::string&) override { return std::nullopt; }
  std::optional<std::string> standInIconName(std::string_view) override { return std::nullopt; }
};

struct Dock : FakeDockServices {
  static constexpr int tileCount = 40;

  Dock() {
    displays.list = {Screen{1, Rect(0, 0, 3840, 1080), Rect(0, 0, 3840, 1080), 1}};
    start();
    preferences.setMagnificationEnabled(true);
    appearance = std::make_unique<SystemAppearance>(preferences, desktop);
    monitor = std::make_unique<IconAppearanceMonitor>(desktop, scheduler);
    icons = std::make_unique<IconCache>(*monitor, workspace, files, iconNames);
    attention = std::make_unique<AppAttention>(workspace, displays, scheduler, log);
    actions = std::make_unique<TileActionServices>(
        TileActionServices{workspace, accessibility, *registry, instances, profiles, *store,
                           *hidden, preferences, recentItems, displays, trash, confirmations});
    interaction = std::make_unique<TileInteraction>(*actions);
    context = std::make_unique<DockViewContext>(
        DockViewContext{*store, *attention, preferences, *icons, *appearance, *registry, profiles,
                        displays, badges, trash, hovers, *interaction, menus});
    view = std::make_unique<DockView>(*context);

    for (int i = 0; i < tileCount; ++i) {
      const std::string bundle = "org.example.app" + std::to_string(i);
      tiles.push_back(Tile{"pinned:" + bundle, AppTile{bundle, "App " + std::to_string(i)}});
    }
    view->render(tiles, layout, std::nullopt);
    const double rest = layout.rowWidth(tiles);
    // Room for every tile at twice its size.
    view->resize(static_cast<int>(2 * rest + 4), static_cast<int>(2 * layout.t() + 19));
    view->show();
    image = QImage(view->size(), QImage::Format_ARGB32_Premultiplied);
  }

  // Gives the view another size; the image follows.
  void resize(int width, int height) {
    view->resize(width, height);
    image = QImage(view->size(), QImage::Format_ARGB32_Premultiplied);
  }

  void paint() {
    image.fill(Qt::transparent);
    view->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
  }

  StillDesktop desktop;
  NoBadges badges;
  FakeTrashState trash;
  FakeConfirmations confirmations;
  NoPreviews hovers;
  NoIconNames iconNames;
  AppRecentItemsService recentItems{workspace, accessibility, scheduler, files, paths};
  MenuTracking menus;
  std::unique_ptr<SystemAppearance> appearance;
  std::unique_ptr<IconAppearanceMonitor> monitor;
  std::unique_ptr<IconCache> icons;
  std::unique_ptr<AppAttention> attention;
  std::unique_ptr<TileActionServices> actions;
  std::unique_ptr<TileInteraction> interaction;
  std::unique_ptr<DockViewContext> context;
  std::unique_ptr<DockView> view;
  const DockLayout layout{64};
  std::vector<Tile> tiles;
  QImage image;
};

// The application every view benchmark paints under, offscreen unless QT_QPA_PLATFORM says
// otherwise.
inline QApplication& application() {
  static int argc = 1;
  static char name[] = "quayline_ui_bench";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
      qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    return new QApplication(argc, argv);
  }();
  return *app;
}

}  // namespace quayline::bench
