// Quayline's start-up on a real X server: from starting the program to its first dock panel
// mapped on screen, where that time goes (the program's own trace of its phases, each phase's
// share in milliseconds), and the program's resident memory once it shows 30 tiles (Finder, 27
// pinned applications, the trailing divider and the Trash) beside ten terminal windows. Run with
// DISPLAY set to an Xvfb display managed by openbox (the panel is found through _NET_CLIENT_LIST).
// The program runs from a private copy whose information dictionary leaves the system dock alone,
// so the benchmark never starts Keelguard or ends processes named "Dock".
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
#include <map>
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

// Ten running terminals, as on a desktop in use; gone with the object.
class Terminals {
 public:
  explicit Terminals(Display& display) {
    if (!fs::exists("/usr/bin/xterm")) {
      return;
    }
    const std::size_t before = display.clientList().size();
    for (int i = 0; i < 10; ++i) {
      pids_.push_back(
          spawnQuietly({"/usr/bin/xterm", "-geometry",
                        "60x15+" + std::to_string(40 * i) + "+" + std::to_string(30 * i)}));
    }
    const auto limit = Clock::now() + std::chrono::seconds(10);
    while (display.clientList().size() < before + pids_.size() && Clock::now() < limit) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  ~Terminals() {
    for (const pid_t pid : pids_) {
      endProcess(pid);
    }
  }
  Terminals(const Terminals&) = delete;
  Terminals& operator=(const Terminals&) = delete;

 private:
  std::vector<pid_t> pids_;
};

// The program's start-up trace: "phase<TAB>monotonic nanoseconds" lines, written at its first
// paint. Each phase's share runs from the previous mark (the first from `started`).
std::vector<std::pair<std::string, double>> phases(const fs::path& trace,
                                                   Clock::time_point started) {
  std::vector<std::pair<std::string, double>> result;
  const auto limit = Clock::now() + std::chrono::seconds(5);
  while (Clock::now() < limit) {
    std::ifstream in(trace);
    std::string line;
    std::int64_t previous =
        std::chrono::duration_cast<std::chrono::nanoseconds>(started.time_since_epoch()).count();
    result.clear();
    while (std::getline(in, line)) {
      const auto tab = line.find('\t');
      if (tab == std::string::npos) {
        continue;
      }
      const std::int64_t at = std::stoll(line.substr(tab + 1));
      result.emplace_back(line.substr(0, tab), (at - previous) / 1e6);
      previous = at;
    }
    if (!result.empty() && result.back().first == "first paint") {
      return result;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return {};
}

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
  Terminals terminals(display);
  const fs::path trace = home.root() / "startup-trace";
  ::setenv("QUAYLINE_STARTUP_TRACE", trace.c_str(), 1);
  std::vector<std::string> order;
  std::map<std::string, double> total;
  double rss = 0;
  for (auto _ : state) {
    fs::remove(trace);
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
    for (const auto& [phase, milliseconds] : phases(trace, start)) {
      if (!total.contains(phase)) {
        order.push_back(phase);
      }
      total[phase] += milliseconds;
    }
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
  // The phases in the order they end, in milliseconds per start; "main" is the time from the
  // start to the program's main function (loading its libraries).
  for (std::size_t i = 0; i < order.size(); ++i) {
    std::string name = std::to_string(i) + "_" + order[i];
    std::replace(name.begin(), name.end(), ' ', '_');
    state.counters[name + "_ms"] = total[order[i]] / static_cast<double>(state.iterations());
  }
  ::unsetenv("QUAYLINE_STARTUP_TRACE");
}
BENCHMARK(BM_StartupToFirstDockFrame)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

}  // namespace
