// A full paint of a 40-tile dock row, at rest and with every tile drawn at twice its size.
#include <benchmark/benchmark.h>

#include "support/BenchDock.h"

namespace quayline {
namespace {

using bench::application;
using bench::Dock;

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
