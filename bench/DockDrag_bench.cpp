// One step of a tile drag on a row of 60 pinned tiles: the update from the pointer and the
// offset of every tile that the row then draws (goal: at most 10 µs).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "dock/DockDragController.h"
#include "foundation/Scheduler.h"

namespace quayline {
namespace {

class StillScheduler final : public Scheduler {
 public:
  void post(Task) override {}
  Subscription after(Seconds, Task) override { return {}; }
  Subscription every(Seconds, Task) override { return {}; }
  double wallClock() const override { return 0; }
  double monotonic() const override { return now; }
  double now = 0;
};

void BM_DragUpdateWithOffsets(benchmark::State& state) {
  std::vector<Tile> tiles;
  for (int n = 0; n < 60; ++n) {
    const std::string id = "org.example.App" + std::to_string(n);
    tiles.push_back(
        Tile{"pinned:app:" + id, AppTile{id, id, std::nullopt, {}}, TileSection::pinned});
  }
  StillScheduler scheduler;
  DockDragController drag(scheduler);
  const DockLayout layout{48};
  double x = 0;
  double total = 0;
  for (auto _ : state) {
    x = x > 2000 ? 0 : x + 7;  // a new slot every few steps, so tiles keep easing
    scheduler.now += 0.016;
    drag.update(tiles[3], Size{x, -5}, tiles, layout);
    for (const Tile& tile : tiles) {
      total += drag.displayedOffset(tile);
    }
  }
  benchmark::DoNotOptimize(total);
}
BENCHMARK(BM_DragUpdateWithOffsets)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quayline
