// What an idle Quayline costs on a desktop with 10 windows: its CPU time over a quiet minute as a
// share of one core (goal: at most 0.2 %), and how often its threads wake up (voluntary context
// switches: its timers and the events it is sent). Both come from /proc, summed over every
// thread. Nothing moves the pointer or changes a window while it is measured.
//
// Run by hand; each case takes about 70 s (the test command never runs benchmarks):
//   ninja -C build-release quayline quayline-defaults quayline-test-client quayline_x11_bench
//   Xvfb :90 -screen 0 1280x800x24 -nolisten tcp & DISPLAY=:90 openbox &
//   DISPLAY=:90 build-release/bench/quayline_x11_bench --benchmark_filter=Idle
// QUAYLINE_IDLE_SECONDS shortens the quiet period for a quick look (default 60). The "motion"
// case turns magnification and auto-hide on, so the pointer monitors are installed too; a
// private session bus lets the badge poll run as it would on a desktop.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/BenchDisplay.h"
#include "support/DockProgram.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace quayline::bench;

constexpr int kWindows = 10;

fs::path testClient() {
  return buildTree() / "tests" / "quayline-test-client";
}

// A private home with the settings of the case and 10 installed applications.
struct Home : PrivateHome {
  explicit Home(bool motion) : PrivateHome("quayline-idle-bench") {
    write({"com.orrin.quayline", "quayline.pinnedItems", "-data", hex("[]")});
    write({"com.orrin.quayline", "quayline.trailingItems", "-data", hex("[]")});
    write({"com.apple.dock", "tilesize", "-int", "64"});
    const std::string on = motion ? "true" : "false";
    write({"com.orrin.quayline", "quayline.magnificationEnabled", "-bool", on});
    write({"com.orrin.quayline", "quayline.autohide", "-bool", on});

    fs::create_directories(root() / "data" / "applications");
    for (int i = 0; i < kWindows; ++i) {
      std::ofstream(root() / "data" / "applications" / ("org.quayline.Idle" + name(i) + ".desktop"))
          << "[Desktop Entry]\nType=Application\nName=Idle " << name(i)
          << "\nExec=" << testClient().string() << "\nStartupWMClass=Idle" << name(i) << "\n";
    }
  }

  static std::string name(int i) { return std::string(1, static_cast<char>('A' + i)); }
};

// A session bus of the benchmark's own, named in the environment the dock inherits.
struct SessionBus {
  SessionBus() {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(
        ::popen("dbus-daemon --session --fork --print-address=1 --print-pid=1 2>/dev/null", "r"),
        ::pclose);
    char address[512] = {};
    char pidLine[32] = {};
    if (pipe && std::fgets(address, sizeof address, pipe.get()) != nullptr &&
        std::fgets(pidLine, sizeof pidLine, pipe.get()) != nullptr) {
      address[std::strcspn(address, "\n")] = '\0';
      pid = static_cast<pid_t>(std::atoi(pidLine));
      ::setenv("DBUS_SESSION_BUS_ADDRESS", address, 1);
    }
  }
  ~SessionBus() {
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    if (pid > 0) {
      ::kill(pid, SIGTERM);  // not our child: it forked away
    }
  }
  SessionBus(const SessionBus&) = delete;
  SessionBus& operator=(const SessionBus&) = delete;
  pid_t pid = -1;
};

// The process's CPU time (every thread, in clock ticks) and its threads' context switches.
struct Usage {
  long long ticks = 0;
  long long voluntary = 0;
  long long involuntary = 0;
  long long mainThreadVoluntary = 0;  // the event loop's thread, where the timers run
  int threads = 0;
};

std::optional<Usage> usage(pid_t pid) {
  const fs::path proc = "/proc/" + std::to_string(pid);
  std::ifstream statFile(proc / "stat");
  std::string stat;
  if (!std::getline(statFile, stat)) {
    return std::nullopt;
  }
  // Fields after the command name, which may hold spaces: state is field 3, utime 14, stime 15.
  const auto close = stat.rfind(')');
  if (close == std::string::npos) {
    return std::nullopt;
  }
  std::istringstream fields(stat.substr(close + 2));
  std::vector<std::string> values;
  for (std::string value; fields >> value;) {
    values.push_back(value);
  }
  if (values.size() < 13) {
    return std::nullopt;
  }
  Usage result;
  result.ticks = std::stoll(values[11]) + std::stoll(values[12]);
  std::error_code error;
  for (const auto& task : fs::directory_iterator(proc / "task", error)) {
    std::ifstream status(task.path() / "status");
    ++result.threads;
    const bool mainThread = task.path().filename() == std::to_string(pid);
    for (std::string line; std::getline(status, line);) {
      if (line.rfind("voluntary_ctxt_switches:", 0) == 0) {
        const long long count = std::stoll(line.substr(line.find(':') + 1));
        result.voluntary += count;
        result.mainThreadVoluntary += mainThread ? count : 0;
      } else if (line.rfind("nonvoluntary_ctxt_switches:", 0) == 0) {
        result.involuntary += std::stoll(line.substr(line.find(':') + 1));
      }
    }
  }
  return result;
}

bool waitFor(const std::function<bool()>& condition, std::chrono::seconds timeout) {
  const auto until = Clock::now() + timeout;
  while (!condition()) {
    if (Clock::now() >= until) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

void BM_IdleDock(benchmark::State& state) {
  const bool motion = state.range(0) != 0;
  const char* configured = std::getenv("QUAYLINE_IDLE_SECONDS");
  const int seconds = configured != nullptr ? std::max(1, std::atoi(configured)) : 60;
  Display display;
  if (!display.usable() || !fs::exists(stagedProgram()) || !fs::exists(defaultsTool()) ||
      !fs::exists(testClient())) {
    state.SkipWithError(
        "needs DISPLAY (Xvfb + openbox) and the built quayline, quayline-defaults and "
        "quayline-test-client");
    return;
  }
  Home home(motion);
  SessionBus bus;
  const std::size_t before = display.clientList().size();
  std::vector<pid_t> clients;
  for (int i = 0; i < kWindows; ++i) {
    const std::string name = Home::name(i);
    clients.push_back(spawnQuietly({testClient().string(), "--title", "Idle " + name, "--class",
                                    "idle" + name + ",Idle" + name}));
  }
  // Away from the dock and its reveal strip.
  display.warpPointer(display.screen()->width_in_pixels / 2,
                      display.screen()->height_in_pixels / 3);
  const pid_t dock = spawnQuietly({home.executable().string()});
  const auto stopAll = [&] {
    endProcess(dock);
    for (const pid_t client : clients) {
      endProcess(client);
    }
  };
  // The windows and the dock's panel are listed, then the start-up work (icons, the first
  // window scans, the badge service's first polls) dies down.
  if (!waitFor([&] { return display.clientList().size() >= before + kWindows + 1; },
               std::chrono::seconds(20))) {
    stopAll();
    state.SkipWithError("the windows or the dock did not come up");
    return;
  }
  std::this_thread::sleep_for(std::chrono::seconds(5));

  const long ticksPerSecond = ::sysconf(_SC_CLK_TCK);
  double cpuPercent = 0;
  double wakeups = 0;
  double preempted = 0;
  double mainThreadWakeups = 0;
  int threads = 0;
  for (auto _ : state) {
    const auto first = usage(dock);
    const auto start = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const auto last = usage(dock);
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    if (!first || !last) {
      stopAll();
      state.SkipWithError("the dock ended while measured");
      return;
    }
    state.SetIterationTime(elapsed);
    cpuPercent = 100.0 * static_cast<double>(last->ticks - first->ticks) /
                 static_cast<double>(ticksPerSecond) / elapsed;
    wakeups = static_cast<double>(last->voluntary - first->voluntary) / elapsed;
    preempted = static_cast<double>(last->involuntary - first->involuntary) / elapsed;
    mainThreadWakeups =
        static_cast<double>(last->mainThreadVoluntary - first->mainThreadVoluntary) / elapsed;
    threads = last->threads;
  }
  stopAll();
  state.counters["cpu_percent_of_core"] = cpuPercent;
  state.counters["wakeups_per_s"] = wakeups;
  state.counters["main_thread_wakeups_per_s"] = mainThreadWakeups;
  state.counters["preempted_per_s"] = preempted;
  state.counters["threads"] = threads;
  state.counters["quiet_s"] = seconds;
}
BENCHMARK(BM_IdleDock)
    ->ArgName("motion")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

}  // namespace
