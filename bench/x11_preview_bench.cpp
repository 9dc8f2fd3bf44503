// How soon a window preview is on screen once the pointer rests on a tile: the real program on
// the benchmark's display, the hover delay set to 0, the time from the pointer entering the tile
// to the server mapping the preview panel (goal: at most 20 ms after the delay ends). Three
// windows of one application give three cards.
//
// Run by hand (see x11_idle_bench.cpp for the display):
//   DISPLAY=:90 build-release/bench/quayline_x11_bench --benchmark_filter=Preview
#include <benchmark/benchmark.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <thread>
#include <vector>

#include "support/BenchDisplay.h"
#include "support/DockProgram.h"
#include "support/MapWatch.h"

namespace {

using namespace quayline::bench;
using Clock = std::chrono::steady_clock;

void BM_PreviewVisibleAfterHover(benchmark::State& state) {
  Display display;
  const auto client = buildTree() / "tests" / "quayline-test-client";
  if (!display.usable() || !fs::exists(stagedProgram()) || !fs::exists(client)) {
    state.SkipWithError("needs DISPLAY (Xvfb + openbox), the built quayline and its test client");
    return;
  }
  PrivateHome home("quayline-preview-bench");
  home.write({"com.orrin.quayline", "quayline.pinnedItems", "-data", hex("[]")});
  home.write({"com.orrin.quayline", "quayline.trailingItems", "-data", hex("[]")});
  home.write({"com.orrin.quayline", "quayline.windowPreviewHoverDelay", "-float", "0"});
  std::vector<pid_t> clients;
  for (const char* title : {"One", "Two", "Three"}) {
    clients.push_back(spawnQuietly({client.string(), "--title", title, "--class", "bench,Bench"}));
  }
  const int width = display.screen()->width_in_pixels;
  const int height = display.screen()->height_in_pixels;
  MapWatch watch;
  watch.warp(width / 2, height / 3);
  const pid_t dock = spawnQuietly({home.executable().string()});
  const auto until = Clock::now() + std::chrono::seconds(20);
  while (!display.dockMapped() && Clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  std::this_thread::sleep_for(std::chrono::seconds(2));  // the windows' tile is in place
  // The dock is centred at the bottom: Finder, the clients' tile, the Trash; the middle one.
  const int tileX = width / 2;
  const int tileY = height - 40;
  for (auto _ : state) {
    watch.warp(width / 2, height / 3);
    watch.next(XCB_UNMAP_NOTIFY, std::chrono::milliseconds(1500));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    watch.drain();
    const auto entered = Clock::now();
    watch.warp(tileX, tileY);
    const auto shown = watch.next(XCB_MAP_NOTIFY, std::chrono::seconds(2));
    if (!shown) {
      state.SkipWithError("no preview appeared");
      break;
    }
    state.SetIterationTime(std::chrono::duration<double>(*shown - entered).count());
  }
  endProcess(dock);
  for (const pid_t pid : clients) {
    endProcess(pid);
  }
}
BENCHMARK(BM_PreviewVisibleAfterHover)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

}  // namespace
