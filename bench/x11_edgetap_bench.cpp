// What the dock-edge tap adds to a click. The tap grabs button 1 on the root, so every click on
// the display waits for its answer. Measured per click (200 clicks through XTest), from the
// press sent to the press received by a plain window lying in a dock's edge band — the slowest
// path, since the tap then also looks up the window under the click before replaying it:
//   EdgeTap/baseline      no tap: what the X server alone takes;
//   EdgeTap/replayed      the tap installed (goal: p99 at most 1 ms above the baseline);
//   EdgeTap/replayedBusy  the same while the main thread is busy: nothing drains what the tap
//                         posts to it and a thread burns a core (goal: at most 5 ms).
//   EdgeTap/outsideBand   the tap installed, the window in the middle of the screen: the
//                         common click, decided without asking the server anything.
// decision_p99_us is the tap's own time to answer a press.
//
// Run by hand on a display with a window manager:
//   Xvfb :90 -screen 0 1280x800x24 -nolisten tcp & DISPLAY=:90 openbox &
//   DISPLAY=:90 build/bench/quayline_x11_bench --benchmark_filter=EdgeTap
#include <benchmark/benchmark.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "dock/DockEdgeClickTap.h"
#include "foundation/Scheduler.h"
#include "platform/Displays.h"
#include "platform/SystemLog.h"
#include "platform/linux/x11/X11MouseTap.h"

namespace {

using namespace quayline;
using Clock = std::chrono::steady_clock;

constexpr int kClicks = 200;

double microseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::micro>(duration).count();
}

double percentile(std::vector<double> samples, std::size_t percent) {
  if (samples.empty()) {
    return 0;
  }
  std::sort(samples.begin(), samples.end());
  return samples[std::min(samples.size() - 1, samples.size() * percent / 100)];
}

// A main thread that never gets round to what is posted to it.
class StalledScheduler final : public Scheduler {
 public:
  void post(Task) override { posted.fetch_add(1); }
  Subscription after(Seconds, Task) override { return {}; }
  Subscription every(Seconds, Task) override { return {}; }
  double wallClock() const override { return monotonic(); }
  double monotonic() const override {
    return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
  }
  std::atomic<int> posted{0};
};

class OneScreen final : public Displays {
 public:
  explicit OneScreen(Rect frame) : frame_(frame) {}
  std::vector<Screen> screens() override { return {Screen{1, frame_, frame_, 1}}; }
  std::optional<Screen> mainScreen() override { return screens().front(); }
  std::optional<Rect> displayBounds(DisplayNumber) override { return frame_; }
  Point pointerLocation() override { return {}; }
  std::uint32_t pressedMouseButtons() override { return 0; }
  Subscription observeScreenChanges(std::function<void()>) override { return {}; }

 private:
  Rect frame_;
};

class NoLog final : public SystemLog {
 public:
  void log(std::string_view, std::string_view) override {}
  void console(std::string_view) override {}
};

struct Bench {
  explicit Bench(bool inBand) : c(xcb_connect(nullptr, nullptr)) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    width = screen->width_in_pixels;
    height = screen->height_in_pixels;
    // Left of a 400-pixel dock along the bottom, inside the row's 78 pixels.
    x = width / 2 - 300;
    y = inBand ? height - 20 : height / 2;
    window = xcb_generate_id(c);
    const std::uint32_t values[] = {1, XCB_EVENT_MASK_BUTTON_PRESS};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root,
                      static_cast<std::int16_t>(x - 50), static_cast<std::int16_t>(y - 50), 100,
                      100, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
    xcb_map_window(c, window);
    xcb_test_fake_input(c, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, screen->root,
                        static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), 0);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
  }
  ~Bench() { xcb_disconnect(c); }

  // From the press sent to the window's receiving it.
  double click() {
    const auto start = Clock::now();
    xcb_test_fake_input(c, XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
    xcb_flush(c);
    double latency = -1;
    while (latency < 0) {
      xcb_generic_event_t* event = xcb_wait_for_event(c);
      if (event == nullptr) {
        return 0;
      }
      if ((event->response_type & 0x7f) == XCB_BUTTON_PRESS) {
        latency = microseconds(Clock::now() - start);
      }
      std::free(event);
    }
    xcb_test_fake_input(c, XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    return latency;
  }

  xcb_connection_t* c;
  int width = 0;
  int height = 0;
  int x = 0;
  int y = 0;
  xcb_window_t window = 0;
};

enum class Mode { baseline, replayed, replayedBusy, outsideBand };

void EdgeTap(benchmark::State& state, Mode mode) {
  Bench bench(mode != Mode::outsideBand);
  if (xcb_connection_has_error(bench.c)) {
    state.SkipWithError("no X display (set DISPLAY)");
    return;
  }
  StalledScheduler scheduler;
  OneScreen displays(Rect(0, 0, bench.width, bench.height));
  NoLog log;
  x11::X11MouseTap mouse(nullptr);
  DockEdgeClickTap edge(mouse, displays, scheduler, log);
  edge.geometry = [&] {
    return std::vector<DockEdgeClickTap::DockGeometry>{
        {Rect(0, 0, bench.width, 83), Size{400, 78}, 0}};
  };
  edge.publish();
  std::vector<double> decisions;
  std::unique_ptr<MouseTap::Tap> tap;
  if (mode != Mode::baseline) {
    tap = mouse.create([&](const MouseTap::Event& event) {
      const auto start = Clock::now();
      const bool swallow = edge.shouldSwallow(event);
      if (event.type == MouseTap::EventType::leftMouseDown) {
        decisions.push_back(microseconds(Clock::now() - start));
      }
      return swallow;
    });
    if (!tap) {
      state.SkipWithError("the root button grab was refused");
      return;
    }
  }
  std::atomic<bool> burning{mode == Mode::replayedBusy};
  std::vector<std::thread> burners;
  for (int i = 0; burning && i < 1; ++i) {
    burners.emplace_back([&] {
      while (burning.load(std::memory_order_relaxed)) {
      }
    });
  }
  std::vector<double> latencies;
  for (auto _ : state) {
    latencies.clear();
    for (int i = 0; i < kClicks; ++i) {
      latencies.push_back(bench.click());
    }
  }
  burning = false;
  for (auto& burner : burners) {
    burner.join();
  }
  state.counters["p50_us"] = percentile(latencies, 50);
  state.counters["p99_us"] = percentile(latencies, 99);
  state.counters["decision_p99_us"] = percentile(decisions, 99);
}

BENCHMARK_CAPTURE(EdgeTap, baseline, Mode::baseline)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(EdgeTap, replayed, Mode::replayed)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(EdgeTap, outsideBand, Mode::outsideBand)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(EdgeTap, replayedBusy, Mode::replayedBusy)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
