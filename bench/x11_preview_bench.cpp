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

namespace {

using namespace quayline::bench;
using Clock = std::chrono::steady_clock;

// Override-redirect windows mapped on the root, as this connection hears of them.
class MapWatch {
 public:
  MapWatch() : c_(xcb_connect(nullptr, nullptr)) {
    root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c_, root_, XCB_CW_EVENT_MASK, &mask);
    sync();
  }
  ~MapWatch() { xcb_disconnect(c_); }
  MapWatch(const MapWatch&) = delete;
  MapWatch& operator=(const MapWatch&) = delete;

  void sync() { std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }
  void drain() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(c_)) {
      std::free(event);
    }
  }
  void warp(int x, int y) {
    xcb_warp_pointer(c_, XCB_WINDOW_NONE, root_, 0, 0, 0, 0, static_cast<std::int16_t>(x),
                     static_cast<std::int16_t>(y));
    xcb_flush(c_);
  }
  // When the next popup was mapped (or unmapped); nothing after `timeout`.
  std::optional<Clock::time_point> next(std::uint8_t type, std::chrono::milliseconds timeout) {
    const auto until = Clock::now() + timeout;
    while (Clock::now() < until) {
      while (xcb_generic_event_t* event = xcb_poll_for_event(c_)) {
        const std::uint8_t kind = event->response_type & 0x7f;
        bool popup = false;
        if (kind == XCB_MAP_NOTIFY && type == XCB_MAP_NOTIFY) {
          popup = reinterpret_cast<xcb_map_notify_event_t*>(event)->override_redirect != 0;
        } else if (kind == XCB_UNMAP_NOTIFY && type == XCB_UNMAP_NOTIFY) {
          popup = true;
        }
        std::free(event);
        if (popup) {
          return Clock::now();
        }
      }
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return std::nullopt;
  }

 private:
  xcb_connection_t* c_;
  xcb_window_t root_;
};

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
