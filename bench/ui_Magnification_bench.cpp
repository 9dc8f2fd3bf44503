// One frame of the magnification over a 40-tile row, as the dock panel runs it at each display
// refresh while the pointer moves across the row: the model's step (pointer read, easing, the
// wave's layout), the row view's placement of its tiles for the published row, and the paint of
// the grown row into a panel of the magnified frame. The goal is a median of at most 2 ms.
#include <benchmark/benchmark.h>

#include "dock/DockFrame.h"
#include "dock/DockMagnification.h"
#include "fakes/FakeDisplayLink.h"
#include "support/BenchDock.h"

namespace quayline {
namespace {

using bench::application;
using bench::Dock;

// The dock of the benchmark with its magnification wired as the panel wires it.
struct MagnifyingDock {
  MagnifyingDock() {
    const Screen& screen = dock.displays.list.front();
    resting = DockFrame::resting(dock.layout, dock.tiles, screen.frame);
    model.setRestingFrame(Rect(resting.minX() + DockLayout::rowInset, resting.minY(),
                               resting.width() - 2 * DockLayout::rowInset, resting.height()));
    model.setLayout(dock.layout);
    std::vector<double> widths;
    for (const Tile& tile : dock.tiles) {
      widths.push_back(dock.layout.slotWidth(tile.content));
    }
    model.setWidths(std::move(widths));
    model.setEnabled(true);
    const Rect magnified = dock.layout.magnifiedWindowFrame(resting);
    dock.resize(static_cast<int>(magnified.width()), static_cast<int>(magnified.height()));
    published = model.observeRow(
        [this](const std::optional<MagnifiedRow>& row) { dock.view->setMagnifiedRow(row); });

    // The pointer enters over the row's middle; the effect grows fully before measuring.
    x = resting.midX();
    dock.displays.pointer = {x, resting.minY() + resting.height() * 0.5};
    model.pointerEntered();
    for (int i = 0; i < 30; ++i) {
      frame();
    }
  }

  // One display refresh at 60 Hz with the pointer a few points further along the row; it turns
  // back at the row's ends so it never leaves the zone. The step reads the pointer itself and
  // keeps its link running while the pointer moves inside the zone, so no move report is
  // needed between refreshes.
  void frame() {
    x += direction * 7;
    if (x > resting.maxX() - 40 || x < resting.minX() + 40) {
      direction = -direction;
    }
    dock.displays.pointer.x = x;
    dock.scheduler.advance(1.0 / 60);
    links.refresh();
    dock.paint();
  }

  Dock dock;
  FakeDisplayLinks links;
  DockMagnification model{dock.displays, dock.scheduler, dock.menus, links.factory()};
  Subscription published;
  Rect resting;
  double x = 0;
  double direction = 1;
};

void BM_MagnificationFrame(benchmark::State& state) {
  application();
  MagnifyingDock magnifying;
  if (magnifying.model.progress() != 1 || !magnifying.model.row()) {
    state.SkipWithError("the magnification did not grow");
    return;
  }
  for (auto _ : state) {
    magnifying.frame();
    benchmark::DoNotOptimize(magnifying.dock.image.constBits());
  }
  // Every measured frame had the row spread out.
  if (magnifying.model.progress() != 1) {
    state.SkipWithError("the magnification eased out while measuring");
  }
}
BENCHMARK(BM_MagnificationFrame)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace quayline
