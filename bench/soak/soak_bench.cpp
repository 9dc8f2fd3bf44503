// Quayline over a long session: 10,000 windows of one application opened and closed over a few
// minutes (eight alive at a time, some retitled while they live) while the real program runs with
// window previews and the switcher on, the pointer resting on the application's tile now and then
// and Alt+Tab held now and then. After the first 1,000 windows and at the end, with the same
// windows open and nothing shown, it samples the program's resident memory, its open file
// descriptors and what the X server holds for its connections (X-Resource). It fails (exit status
// 1, and the benchmark reports an error) when memory grows by more than 5 MB, a descriptor or a
// window, pixmap, damage object, picture, GC or redirection is left over beyond a small margin, or
// the program dies.
//
// It starts an X server and openbox of its own (the tests' support). Run by hand, a few minutes
// (the test command never runs benchmarks):
//   ninja -C build quayline quayline-defaults quayline_soak_bench
//   build/bench/quayline_soak_bench
// QUAYLINE_SOAK_WINDOWS and QUAYLINE_SOAK_SECONDS change the count (10,000) and the pace
// (240 s in all). The program's, the server's and openbox's output stay in the build's
// bench/soak-logs/.
#include <X11/keysym.h>
#include <benchmark/benchmark.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "../support/BenchDisplay.h"
#include "../support/DockProgram.h"
#include "Processes.h"
#include "WindowChurn.h"
#include "XResourceCounts.h"
#include "XServer.h"

namespace {

using namespace quayline::bench;
using quayline::x11test::XServer;
using Clock = std::chrono::steady_clock;

constexpr int kAlive = 8;
constexpr int kWarmUp = 1000;
// Every this many windows the pointer rests on the tile for a while, and later Alt+Tab is held.
constexpr int kActionPeriod = 300;  // the samples fall between actions
constexpr int kActionLength = 40;
constexpr double kRssGrowthLimitMb = 5;
// Resources the program may hold more of at the end than after the warm-up: what a settled
// program keeps for whatever it shows (a preview panel built once more, a cached image).
constexpr std::uint32_t kResourceMargin = 4;
// As the server names the types: Damage objects are "DamageExt", composite redirections
// "CompositeClientWindow".
constexpr const char* kCheckedResources[] = {"WINDOW",  "PIXMAP", "DamageExt",
                                             "PICTURE", "GC",     "CompositeClientWindow"};

bool soakFailed = false;

int environmentNumber(const char* name, int fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && std::atoi(value) > 0 ? std::atoi(value) : fallback;
}

struct Sample {
  double rssMb = 0;
  int descriptors = 0;
  std::size_t connections = 0;
  ResourceCounts resources;
};

double residentMb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) {
      return std::stod(line.substr(6)) / 1024.0;
    }
  }
  return 0;
}

int openDescriptors(pid_t pid) {
  int count = 0;
  for ([[maybe_unused]] const auto& entry :
       fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd")) {
    ++count;
  }
  return count;
}

// The desktop as the soak drives and watches it: pointer, keyboard and the root's windows.
class Desk {
 public:
  Desk() : c_(xcb_connect(nullptr, nullptr)) {
    screen_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
    symbols_ = xcb_key_symbols_alloc(c_);
  }
  ~Desk() {
    xcb_key_symbols_free(symbols_);
    xcb_disconnect(c_);
  }
  Desk(const Desk&) = delete;
  Desk& operator=(const Desk&) = delete;

  xcb_connection_t* connection() const { return c_; }
  void warp(int x, int y) {
    xcb_test_fake_input(c_, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, screen_->root,
                        static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), 0);
    sync();
  }
  void key(xcb_keysym_t keysym, bool down) {
    xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols_, keysym);
    if (codes != nullptr) {
      xcb_test_fake_input(c_, down ? XCB_KEY_PRESS : XCB_KEY_RELEASE, codes[0], XCB_CURRENT_TIME,
                          XCB_WINDOW_NONE, 0, 0, 0);
    }
    std::free(codes);
    sync();
  }
  void sync() { std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }

  // Viewable override-redirect windows on the root: the program's previews and switcher panel.
  int popups() {
    int count = 0;
    auto* tree = xcb_query_tree_reply(c_, xcb_query_tree(c_, screen_->root), nullptr);
    if (tree == nullptr) {
      return 0;
    }
    const xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
      auto* attributes =
          xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, children[i]), nullptr);
      count += attributes != nullptr && attributes->override_redirect &&
               attributes->map_state == XCB_MAP_STATE_VIEWABLE;
      std::free(attributes);
    }
    std::free(tree);
    return count;
  }

  // A managed window of the process (its dock panel); none until the manager lists one.
  std::optional<xcb_window_t> windowOf(pid_t pid) {
    const auto clients = cardinals(screen_->root, atom("_NET_CLIENT_LIST"));
    const xcb_atom_t pidAtom = atom("_NET_WM_PID");
    for (const std::uint32_t window : clients) {
      const auto owner = cardinals(window, pidAtom);
      if (!owner.empty() && owner.front() == static_cast<std::uint32_t>(pid)) {
        return window;
      }
    }
    return std::nullopt;
  }

 private:
  xcb_atom_t atom(const char* name) { return internAtom(c_, name); }
  std::vector<std::uint32_t> cardinals(xcb_window_t window, xcb_atom_t property) {
    return cardinalProperty(c_, window, property);
  }

  xcb_connection_t* c_;
  xcb_screen_t* screen_;
  xcb_key_symbols_t* symbols_;
};

void printResources(const char* label, const ResourceCounts& counts) {
  std::printf("  %-22s", label);
  for (const auto& [type, count] : counts) {
    std::printf(" %s=%u", type.c_str(), count);
  }
  std::printf("\n");
}

std::string logTail(const fs::path& log) {
  std::ifstream in(log);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return text.size() > 4000 ? text.substr(text.size() - 4000) : text;
}

void BM_SoakWindowChurn(benchmark::State& state) {
  const int windows = environmentNumber("QUAYLINE_SOAK_WINDOWS", 10000);
  const int seconds = environmentNumber("QUAYLINE_SOAK_SECONDS", 240);
  if (!fs::exists(stagedProgram()) || !fs::exists(defaultsTool())) {
    state.SkipWithError("needs the built quayline and quayline-defaults");
    soakFailed = true;
    return;
  }
  const fs::path logs = buildTree() / "bench" / "soak-logs";
  fs::remove_all(logs);
  fs::create_directories(logs);
  PrivateHome home("quayline-soak-bench");
  home.write({"com.orrin.quayline", "quayline.pinnedItems", "-data", hex("[]")});
  home.write({"com.orrin.quayline", "quayline.trailingItems", "-data", hex("[]")});
  home.write({"com.orrin.quayline", "quayline.windowPreviewsEnabled", "-bool", "true"});
  home.write({"com.orrin.quayline", "quayline.windowPreviewHoverDelay", "-float", "0"});
  home.write({"com.orrin.quayline", "quayline.windowSwitcherEnabled", "-bool", "true"});
  const auto server = XServer::start(logs, XServer::WindowManager::openbox);
  if (!server) {
    state.SkipWithError("no Xvfb with openbox");
    soakFailed = true;
    return;
  }
  quayline::x11test::ScopedDisplay scopedDisplay(server->display());
  Desk desk;
  auto xres = XResourceCounts::open(desk.connection());
  if (!xres) {
    state.SkipWithError("the X server has no X-Resource extension");
    soakFailed = true;
    return;
  }
  ::setenv("QUAYLINE_LOG_STDERR", "1", 1);
  const fs::path log = logs / "quayline.log";
  const pid_t dock = quayline::x11test::spawnProcess(home.executable().string(), {}, log.string());
  std::optional<xcb_window_t> panel;
  for (const auto until = Clock::now() + std::chrono::seconds(30);
       !panel && Clock::now() < until && quayline::x11test::processRuns(dock);) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    panel = desk.windowOf(dock);
  }
  if (!panel) {
    std::printf("quayline did not show its panel; its log:\n%s\n", logTail(log).c_str());
    state.SkipWithError("quayline did not start");
    soakFailed = true;
    quayline::x11test::stopProcess(dock);
    return;
  }
  const auto clientsOfDock = [&] {
    auto bases = xres->clientsOfProcess(dock);
    if (const auto base = xres->clientOf(*panel);
        base && std::find(bases.begin(), bases.end(), *base) == bases.end()) {
      bases.push_back(*base);
    }
    return bases;
  };
  const int width = XServer::kWidth;
  const int height = XServer::kHeight;
  // Finder, the windows' application and the Trash, centred at the bottom: the middle tile.
  const int tileX = width / 2;
  const int tileY = height - 40;
  const auto away = [&] { desk.warp(width / 2, height / 3); };
  away();

  WindowChurn churn(kAlive);
  const auto pace = std::chrono::duration<double>(seconds) / windows;
  int previewsSeen = 0;
  int switchersSeen = 0;
  bool died = false;
  bool altDown = false;
  std::optional<Sample> warm;
  std::optional<Sample> last;
  std::vector<double> trail;  // resident memory every 1,000 windows, unsettled
  const auto sample = [&] {
    if (altDown) {
      desk.key(XK_Escape, true);
      desk.key(XK_Escape, false);
      desk.key(XK_Alt_L, false);
      altDown = false;
    }
    away();
    churn.sync();
    std::this_thread::sleep_for(std::chrono::seconds(5));  // deferred deletions and timers run
    const auto clients = clientsOfDock();
    return Sample{residentMb(dock), openDescriptors(dock), clients.size(), total(*xres, clients)};
  };

  for (auto _ : state) {
    const auto start = Clock::now();
    auto next = start;
    for (int n = 1; n <= windows && !died; ++n) {
      churn.step();
      const int phase = n % kActionPeriod;
      if (phase == 0) {
        desk.warp(tileX, tileY);
      } else if (phase == kActionLength / 2) {
        previewsSeen += desk.popups() > 0;
      } else if (phase == kActionLength) {
        away();
      } else if (phase == kActionPeriod / 2) {
        desk.key(XK_Alt_L, true);
        altDown = true;
        desk.key(XK_Tab, true);
        desk.key(XK_Tab, false);
      } else if (phase == kActionPeriod / 2 + kActionLength / 2) {
        switchersSeen += desk.popups() > 0;
      } else if (phase == kActionPeriod / 2 + kActionLength) {
        desk.key(XK_Escape, true);
        desk.key(XK_Escape, false);
        desk.key(XK_Alt_L, false);
        altDown = false;
      }
      if (n % 100 == 0 && !quayline::x11test::processRuns(dock)) {
        died = true;
        break;
      }
      if (n == kWarmUp) {
        warm = sample();
      }
      if (n % 1000 == 0) {
        trail.push_back(residentMb(dock));
      }
      next += std::chrono::duration_cast<Clock::duration>(pace);
      if (n == kWarmUp) {
        next = Clock::now();
      }
      std::this_thread::sleep_until(next);
    }
    died = died || !quayline::x11test::processRuns(dock);
    if (!died) {
      last = sample();
    }
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
  }

  std::printf(
      "\nsoak: %d windows opened and closed (%d alive at a time); previews seen %d, "
      "switcher panels seen %d\n",
      churn.opened(), kAlive, previewsSeen, switchersSeen);
  std::vector<std::string> problems;
  if (died) {
    problems.push_back("quayline died");
    std::printf("quayline's log ends:\n%s\n", logTail(log).c_str());
  }
  if (warm && last) {
    const double growth = last->rssMb - warm->rssMb;
    std::printf("  resident memory: %.1f MB after %d windows, %.1f MB after %d: growth %+.2f MB\n",
                warm->rssMb, kWarmUp, last->rssMb, churn.opened(), growth);
    std::printf("  resident memory every 1,000 windows (MB):");
    for (const double mb : trail) {
      std::printf(" %.1f", mb);
    }
    std::printf("\n  open descriptors: %d, then %d\n", warm->descriptors, last->descriptors);
    std::printf("  X connections: %zu, then %zu\n", warm->connections, last->connections);
    printResources("X resources before:", warm->resources);
    printResources("X resources after:", last->resources);
    state.counters["rss_warm_MB"] = warm->rssMb;
    state.counters["rss_end_MB"] = last->rssMb;
    state.counters["rss_growth_MB"] = growth;
    state.counters["fds_warm"] = warm->descriptors;
    state.counters["fds_end"] = last->descriptors;
    if (growth > kRssGrowthLimitMb) {
      problems.push_back("resident memory grew by more than 5 MB");
    }
    if (last->descriptors > warm->descriptors) {
      problems.push_back("open file descriptors grew");
    }
    if (last->connections > warm->connections) {
      problems.push_back("X connections grew");
    }
    for (const char* type : kCheckedResources) {
      const std::uint32_t before = warm->resources[type];
      const std::uint32_t after = last->resources[type];
      state.counters[std::string(type) + "_warm"] = before;
      state.counters[std::string(type) + "_end"] = after;
      if (after > before + kResourceMargin) {
        problems.push_back(std::string(type) + " count grew from " + std::to_string(before) +
                           " to " + std::to_string(after));
      }
    }
  } else if (!died) {
    problems.push_back("fewer windows than the warm-up: nothing to compare");
  }
  if (previewsSeen == 0 || switchersSeen == 0) {
    problems.push_back("the previews or the switcher never showed");
  }
  state.counters["windows"] = churn.opened();
  state.counters["previews_seen"] = previewsSeen;
  state.counters["switchers_seen"] = switchersSeen;
  quayline::x11test::stopProcess(dock);
  if (!problems.empty()) {
    std::string message;
    for (const auto& problem : problems) {
      message += (message.empty() ? "" : "; ") + problem;
    }
    std::printf("soak FAILED: %s\n", message.c_str());
    state.SkipWithError(message.c_str());
    soakFailed = true;
  } else {
    std::printf("soak passed\n");
  }
}
BENCHMARK(BM_SoakWindowChurn)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return soakFailed ? 1 : 0;
}
