// What an idle Quayline costs on a desktop with 10 windows: its CPU time over a quiet minute as a
// share of one core (goal: at most 0.05 %), and how often its threads wake up (voluntary context
// switches: its timers and the events it is sent; goal: at most 2 a second on the main thread and
// 3 over all threads). Both come from /proc, in all and per thread: each thread's counters are
// reported under its name (/proc/<pid>/task/<tid>/comm; "main" for the event loop's thread).
// Nothing moves the pointer or changes a window while it is measured.
//
// Run by hand; each case takes about 70 s (the test command never runs benchmarks):
//   ninja -C build-release quayline quayline-defaults quayline-test-client quayline_x11_bench
//   Xvfb :90 -screen 0 1280x800x24 -nolisten tcp & DISPLAY=:90 openbox &
//   DISPLAY=:90 build-release/bench/quayline_x11_bench --benchmark_filter=Idle
// QUAYLINE_IDLE_SECONDS shortens the quiet period for a quick look (default 60). Case 1 turns
// magnification and auto-hide on, so the pointer monitors are installed too; case 2 also shows
// the dock on the screen under the pointer, whose specified poll runs five times a second. A
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
#include <map>
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
  explicit Home(int features) : PrivateHome("quayline-idle-bench") {
    write({"com.orrin.quayline", "quayline.pinnedItems", "-data", hex("[]")});
    write({"com.orrin.quayline", "quayline.trailingItems", "-data", hex("[]")});
    write({"com.apple.dock", "tilesize", "-int", "64"});
    const std::string on = features >= 1 ? "true" : "false";
    write({"com.orrin.quayline", "quayline.magnificationEnabled", "-bool", on});
    write({"com.orrin.quayline", "quayline.autohide", "-bool", on});
    if (features >= 2) {
      write({"com.orrin.quayline", "quayline.windowDisplayTarget", "-string", "followsPointer"});
    }

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

// A thread's CPU time (clock ticks) and context switches so far.
struct ThreadUsage {
  std::string name;
  long long ticks = 0;
  long long voluntary = 0;
  long long involuntary = 0;
};

// Every thread of the process, by thread id.
using Usage = std::map<std::string, ThreadUsage>;

// utime + stime of a /proc stat line; the command name before them may hold spaces.
std::optional<long long> cpuTicks(const fs::path& statPath) {
  std::ifstream statFile(statPath);
  std::string stat;
  if (!std::getline(statFile, stat)) {
    return std::nullopt;
  }
  const auto close = stat.rfind(')');
  if (close == std::string::npos || close + 2 > stat.size()) {
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
  return std::stoll(values[11]) + std::stoll(values[12]);
}

std::optional<Usage> usage(pid_t pid) {
  const fs::path proc = "/proc/" + std::to_string(pid);
  if (!cpuTicks(proc / "stat")) {
    return std::nullopt;
  }
  Usage result;
  std::error_code error;
  for (const auto& task : fs::directory_iterator(proc / "task", error)) {
    const std::string tid = task.path().filename();
    ThreadUsage thread;
    std::ifstream comm(task.path() / "comm");
    std::getline(comm, thread.name);
    std::replace(thread.name.begin(), thread.name.end(), ' ', '_');
    if (tid == std::to_string(pid)) {
      thread.name = "main";
    }
    thread.ticks = cpuTicks(task.path() / "stat").value_or(0);
    std::ifstream status(task.path() / "status");
    for (std::string line; std::getline(status, line);) {
      if (line.rfind("voluntary_ctxt_switches:", 0) == 0) {
        thread.voluntary = std::stoll(line.substr(line.find(':') + 1));
      } else if (line.rfind("nonvoluntary_ctxt_switches:", 0) == 0) {
        thread.involuntary = std::stoll(line.substr(line.find(':') + 1));
      }
    }
    result.emplace(tid, std::move(thread));
  }
  return result;
}

// What each thread name did between two readings, per second; a thread that started meanwhile
// counts from zero. Threads of one name are added up.
struct Rates {
  double ticks = 0;
  double voluntary = 0;
  double involuntary = 0;
};
std::map<std::string, Rates> ratesByName(const Usage& first, const Usage& last, double seconds) {
  std::map<std::string, Rates> rates;
  for (const auto& [tid, thread] : last) {
    const auto before = first.find(tid);
    const ThreadUsage start = before != first.end() ? before->second : ThreadUsage{};
    Rates& rate = rates[thread.name];
    rate.ticks += static_cast<double>(thread.ticks - start.ticks) / seconds;
    rate.voluntary += static_cast<double>(thread.voluntary - start.voluntary) / seconds;
    rate.involuntary += static_cast<double>(thread.involuntary - start.involuntary) / seconds;
  }
  return rates;
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
  const int features = static_cast<int>(state.range(0));
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
  Home home(features);
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

  const double ticksPerSecond = static_cast<double>(::sysconf(_SC_CLK_TCK));
  std::map<std::string, Rates> rates;
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
    rates = ratesByName(*first, *last, elapsed);
    threads = static_cast<int>(last->size());
  }
  stopAll();
  Rates all;
  for (const auto& [name, rate] : rates) {
    all.ticks += rate.ticks;
    all.voluntary += rate.voluntary;
    all.involuntary += rate.involuntary;
    state.counters["wakeups_per_s:" + name] = rate.voluntary;
    state.counters["cpu_percent:" + name] = 100.0 * rate.ticks / ticksPerSecond;
  }
  state.counters["cpu_percent_of_core"] = 100.0 * all.ticks / ticksPerSecond;
  state.counters["wakeups_per_s"] = all.voluntary;
  state.counters["preempted_per_s"] = all.involuntary;
  state.counters["threads"] = threads;
  state.counters["quiet_s"] = seconds;
}
BENCHMARK(BM_IdleDock)
    ->ArgName("features")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->UseManualTime()
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

}  // namespace
