// Quayline's start-up on a real X server: from starting the program to its first dock panel
// mapped on screen, and the program's resident memory once it shows 30 tiles (Finder, 27
// pinned applications, the trailing divider and the Trash). Run with DISPLAY set to an Xvfb
// display managed by openbox (the panel is found through _NET_CLIENT_LIST). The program runs from
// a private copy whose information dictionary leaves the system dock alone, so the benchmark never
// starts Keelguard or ends processes named "Dock".
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/BenchDisplay.h"
#include "support/DockProgram.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace quayline::bench;

constexpr int kPinnedApplications = 27;

fs::path program() {
  return stagedProgram();
}

// A private home whose dock shows 30 tiles at tile size 64.
struct Home : PrivateHome {
  Home() : PrivateHome("quayline-startup-bench") {
    std::string pinned = "[";
    for (int i = 0; i < kPinnedApplications; ++i) {
      pinned += std::string(i ? "," : "") + R"({"bundleIdentifier":"org.example.bench)" +
                std::to_string(i) + R"(","kind":"app"})";
    }
    pinned += "]";
    write({"com.orrin.quayline", "quayline.pinnedItems", "-data", hex(pinned)});
    write({"com.orrin.quayline", "quayline.trailingItems", "-data", hex("[]")});
    write({"com.apple.dock", "tilesize", "-int", "64"});
  }
};

std::optional<double> residentMegabytes(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) {
      return std::stod(line.substr(6)) / 1024.0;  // kB
    }
  }
  return std::nullopt;
}

void BM_StartupToFirstDockFrame(benchmark::State& state) {
  Display display;
  if (!display.usable() || !fs::exists(program()) ||
      !fs::exists(program().parent_path() / "quayline-defaults")) {
    state.SkipWithError(
        "needs DISPLAY (Xvfb + openbox) and the built quayline and quayline-defaults");
    return;
  }
  Home home;
  double rss = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    const pid_t pid = spawnQuietly({home.executable().string()});
    const auto limit = start + std::chrono::seconds(10);
    bool shown = false;
    while (!(shown = display.dockMapped()) && Clock::now() < limit) {
      std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    const auto elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    if (!shown) {
      endProcess(pid);
      state.SkipWithError("no dock panel within 10 s");
      return;
    }
    state.SetIterationTime(elapsed);
    // Memory once the dock has settled: its first paint and the icon lookups are done.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    rss = std::max(rss, residentMegabytes(pid).value_or(0));
    endProcess(pid);
    // The previous panel must be gone before the next start is timed.
    while (display.dockMapped()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  state.counters["rss_MB_max"] = rss;
}
BENCHMARK(BM_StartupToFirstDockFrame)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

}  // namespace
