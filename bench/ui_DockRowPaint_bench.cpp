// A full paint of a 40-tile dock row, at rest and with every tile drawn at twice its size.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <memory>

#include "dock/AppAttention.h"
#include "dock/AppRecentItems.h"
#include "dock/IconAppearanceMonitor.h"
#include "dock/MenuTracking.h"
#include "dock/SystemAppearance.h"
#include "dock/TileInteraction.h"
#include "fakes/FakeDockServices.h"
#include "platform/ApplicationIconNames.h"
#include "platform/DesktopAppearance.h"
#include "ui/dock/DockRowView.h"
#include "ui/dock/DockView.h"
#include "ui/dock/NullSources.h"
#include "ui/icons/IconCache.h"

namespace quayline {
namespace {

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
};

struct Dock : FakeDockServices {
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
                           *hidden, preferences, recentItems, displays});
    interaction = std::make_unique<TileInteraction>(*actions);
    context = std::make_unique<DockViewContext>(
        DockViewContext{*store, *attention, preferences, *icons, *appearance, *registry, profiles,
                        displays, badges, trash, hovers, *interaction, menus});
    view = std::make_unique<DockView>(*context);

    for (int i = 0; i < 40; ++i) {
      const std::string bundle = "org.example.app" + std::to_string(i);
      tiles.push_back(Tile{"pinned:" + bundle, AppTile{bundle, "App " + std::to_string(i)}});
    }
    const DockLayout layout{64};
    view->render(tiles, layout, std::nullopt);
    const double rest = layout.rowWidth(tiles);
    // Room for every tile at twice its size.
    view->resize(static_cast<int>(2 * rest + 4), static_cast<int>(2 * layout.t() + 19));
    view->show();
    image = QImage(view->size(), QImage::Format_ARGB32_Premultiplied);
  }

  void paint() {
    image.fill(Qt::transparent);
    view->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
  }

  StillDesktop desktop;
  NoBadges badges;
  UnknownTrash trash;
  NoPreviews hovers;
  NoIconNames iconNames;
  NoRecentItems recentItems;
  MenuTracking menus;
  std::unique_ptr<SystemAppearance> appearance;
  std::unique_ptr<IconAppearanceMonitor> monitor;
  std::unique_ptr<IconCache> icons;
  std::unique_ptr<AppAttention> attention;
  std::unique_ptr<TileActionServices> actions;
  std::unique_ptr<TileInteraction> interaction;
  std::unique_ptr<DockViewContext> context;
  std::unique_ptr<DockView> view;
  std::vector<Tile> tiles;
  QImage image;
};

QApplication& application() {
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

void BM_DockRowPaintAtRest(benchmark::State& state) {
  application();
  Dock dock;
  dock.paint();  // fills the icon cache, as the first frame on screen does
  for (auto _ : state) {
    dock.paint();
    benchmark::DoNotOptimize(dock.image.constBits());
  }
}
BENCHMARK(BM_DockRowPaintAtRest)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

void BM_DockRowPaintEveryTileDoubled(benchmark::State& state) {
  application();
  Dock dock;
  MagnifiedRow row;
  for (std::size_t i = 0; i < dock.tiles.size(); ++i) {
    row.slots.push_back(
        {66.0 * static_cast<double>(i), 66, 2, 132.0 * static_cast<double>(i) - 1320});
  }
  dock.view->setMagnifiedRow(row);
  dock.paint();
  for (auto _ : state) {
    dock.paint();
    benchmark::DoNotOptimize(dock.image.constBits());
  }
}
BENCHMARK(BM_DockRowPaintEveryTileDoubled)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace quayline
