// How soon the window switcher is on screen: the real program on the benchmark's display with 20
// windows, Alt+Tab typed through XTest. Reported per press (30 presses): the panel mapped (goal:
// p95 at most 25 ms), its glass painted (at most 40 ms), the first card's image filled (at most
// 60 ms), all watched from a second X connection; and how long the keyboard stays frozen by the
// shortcut's grab (at most 2 ms): a key typed right after Tab reaches the server's key state
// only once the dock lets the frozen keyboard go.
//
// Run by hand (see x11_idle_bench.cpp for the display):
//   DISPLAY=:90 build-release/bench/quayline_x11_bench --benchmark_filter=Switcher
#include <benchmark/benchmark.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/BenchDisplay.h"
#include "support/DockProgram.h"
#include "support/MapWatch.h"
#include "switcher/SwitcherLayout.h"

namespace {

using namespace quayline::bench;
using quayline::Rect;
using quayline::SwitcherLayout;

constexpr int kWindows = 20;
constexpr std::uint32_t kClientColour = 0x20cc20;

double milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

double percentile(std::vector<double> samples, std::size_t percent) {
  if (samples.empty()) {
    return 0;
  }
  std::sort(samples.begin(), samples.end());
  return samples[std::min(samples.size() - 1, samples.size() * percent / 100)];
}

// Whether `condition` comes true within `timeout`; when it did.
template <typename Condition>
std::optional<Clock::time_point> when(Condition condition, std::chrono::milliseconds timeout) {
  const auto until = Clock::now() + timeout;
  while (Clock::now() < until) {
    if (condition()) {
      return Clock::now();
    }
    std::this_thread::sleep_for(std::chrono::microseconds(100));
  }
  return std::nullopt;
}

class Keyboard {
 public:
  explicit Keyboard(xcb_connection_t* c) : c_(c), symbols_(xcb_key_symbols_alloc(c)) {}
  ~Keyboard() { xcb_key_symbols_free(symbols_); }
  Keyboard(const Keyboard&) = delete;
  Keyboard& operator=(const Keyboard&) = delete;

  xcb_keycode_t code(xcb_keysym_t symbol) {
    xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols_, symbol);
    const xcb_keycode_t found = codes != nullptr ? codes[0] : 0;
    std::free(codes);
    return found;
  }
  void send(xcb_keysym_t symbol, bool down) {
    xcb_test_fake_input(c_, down ? XCB_KEY_PRESS : XCB_KEY_RELEASE, code(symbol), XCB_CURRENT_TIME,
                        XCB_WINDOW_NONE, 0, 0, 0);
    xcb_flush(c_);
  }
  bool isDown(xcb_keysym_t symbol) {
    const xcb_keycode_t key = code(symbol);
    auto* reply = xcb_query_keymap_reply(c_, xcb_query_keymap(c_), nullptr);
    const bool down = reply != nullptr && (reply->keys[key / 8] & (1u << (key % 8))) != 0;
    std::free(reply);
    return down;
  }

 private:
  xcb_connection_t* c_;
  xcb_key_symbols_t* symbols_;
};

bool isGlass(std::uint32_t colour) {
  // The light glass: every channel bright; the desktop is black and the windows green.
  return (colour >> 16 & 0xff) > 0xa0 && (colour >> 8 & 0xff) > 0xa0 && (colour & 0xff) > 0xa0;
}

bool isClient(std::uint32_t colour) {
  return (colour >> 8 & 0xff) > 0x90 && (colour >> 16 & 0xff) < 0x60;
}

void BM_SwitcherShownAfterAltTab(benchmark::State& state) {
  Display display;
  const auto client = buildTree() / "tests" / "quayline-test-client";
  if (!display.usable() || !fs::exists(stagedProgram()) || !fs::exists(client)) {
    state.SkipWithError(
        "needs DISPLAY (Xvfb + openbox without its Alt+Tab), the built quayline "
        "and its test client");
    return;
  }
  PrivateHome home("quayline-switcher-bench");
  home.write({"com.orrin.quayline", "quayline.pinnedItems", "-data", hex("[]")});
  home.write({"com.orrin.quayline", "quayline.trailingItems", "-data", hex("[]")});
  const int width = display.screen()->width_in_pixels;
  const int height = display.screen()->height_in_pixels;
  std::vector<pid_t> clients;
  for (int i = 0; i < kWindows; ++i) {
    clients.push_back(
        spawnQuietly({client.string(), "--title", "Window " + std::to_string(i), "--class",
                      "bench,Bench", "--colour", "20cc20", "--size", "640x480", "--pos",
                      std::to_string(20 * i) + "," + std::to_string(10 * i)}));
  }
  MapWatch watch;
  Keyboard keyboard(watch.connection());
  const pid_t dock = spawnQuietly({home.executable().string()});
  const auto until = Clock::now() + std::chrono::seconds(20);
  while (!display.dockMapped() && Clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  std::this_thread::sleep_for(std::chrono::seconds(2));  // every window listed
  const SwitcherLayout layout = SwitcherLayout::fitting(kWindows, Rect(0, 0, width, height));
  std::vector<double> mapped;
  std::vector<double> painted;
  std::vector<double> filled;
  std::vector<double> frozen;
  for (auto _ : state) {
    watch.drain();
    keyboard.send(0xffe9, true);  // Alt
    watch.sync();
    const auto pressed = Clock::now();
    keyboard.send(0xff09, true);  // Tab: the keyboard freezes until the dock lets it go
    keyboard.send('a', true);
    const auto thawed = when([&] { return keyboard.isDown('a'); }, std::chrono::seconds(2));
    const auto shown = watch.next(XCB_MAP_NOTIFY, std::chrono::seconds(2));
    if (!thawed || !shown) {
      state.SkipWithError(shown ? "the keyboard stayed frozen" : "no switcher appeared");
      break;
    }
    auto geometry = xcb_get_geometry_reply(
        watch.connection(), xcb_get_geometry(watch.connection(), watch.mapped()), nullptr);
    const int x = geometry ? geometry->x : 0;
    const int y = geometry ? geometry->y : 0;
    const int panelHeight = geometry ? geometry->height : 0;
    std::free(geometry);
    const auto glass = when([&] { return isGlass(watch.pixel(x + 4, y + panelHeight / 2)); },
                            std::chrono::seconds(1));
    const int imageX =
        x + static_cast<int>(layout.padding() + layout.measure(SwitcherLayout::baseCardPadding) +
                             layout.thumbnailSize().width / 2);
    const int imageY =
        y + static_cast<int>(layout.padding() + layout.measure(SwitcherLayout::baseCardPadding) +
                             layout.thumbnailSize().height / 2);
    const auto image =
        when([&] { return isClient(watch.pixel(imageX, imageY)); }, std::chrono::seconds(1));
    frozen.push_back(milliseconds(*thawed - pressed));
    mapped.push_back(milliseconds(*shown - pressed));
    painted.push_back(glass ? milliseconds(*glass - pressed) : 1000);
    filled.push_back(image ? milliseconds(*image - pressed) : 1000);
    state.SetIterationTime(std::chrono::duration<double>(*shown - pressed).count());
    keyboard.send('a', false);
    keyboard.send(0xff09, false);
    keyboard.send(0xff1b, true);  // Escape: nothing switches between the presses
    keyboard.send(0xff1b, false);
    keyboard.send(0xffe9, false);
    watch.next(XCB_UNMAP_NOTIFY, std::chrono::seconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  for (const auto& [name, samples] : {std::pair{"mapped", &mapped},
                                      {"painted", &painted},
                                      {"image", &filled},
                                      {"frozen", &frozen}}) {
    state.counters[std::string(name) + "_p50_ms"] = percentile(*samples, 50);
    state.counters[std::string(name) + "_p95_ms"] = percentile(*samples, 95);
  }
  endProcess(dock);
  for (const pid_t pid : clients) {
    endProcess(pid);
  }
}
BENCHMARK(BM_SwitcherShownAfterAltTab)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30);

}  // namespace
