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

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kPinnedApplications = 27;

fs::path program() {
  // bench/quayline_x11_bench beside stage/bin/quayline in the build tree.
  return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "stage" / "bin" /
         "quayline";
}

std::string hex(const std::string& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

pid_t spawn(const std::vector<std::string>& arguments) {
  std::vector<std::string> copy = arguments;
  std::vector<char*> argv;
  for (auto& argument : copy) {
    argv.push_back(argument.data());
  }
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

void run(const std::vector<std::string>& arguments) {
  const pid_t pid = spawn(arguments);
  ::waitpid(pid, nullptr, 0);
}

// A private home whose dock shows 30 tiles at tile size 64.
struct Home {
  Home() {
    root = fs::temp_directory_path() / ("quayline-startup-bench-" + std::to_string(::getpid()));
    fs::remove_all(root);
    for (auto [name, folder] : {std::pair{"HOME", "home"},
                                {"XDG_CONFIG_HOME", "config"},
                                {"XDG_DATA_HOME", "data"},
                                {"XDG_CACHE_HOME", "cache"},
                                {"QUAYLINE_PREFERENCES_DIR", "prefs"}}) {
      fs::create_directories(root / folder);
      ::setenv(name, (root / folder).c_str(), 1);
    }
    std::string pinned = "[";
    for (int i = 0; i < kPinnedApplications; ++i) {
      pinned += std::string(i ? "," : "") + R"({"bundleIdentifier":"org.example.bench)" +
                std::to_string(i) + R"(","kind":"app"})";
    }
    pinned += "]";
    const auto defaults = (program().parent_path() / "quayline-defaults").string();
    run({defaults, "write", "com.orrin.quayline", "quayline.pinnedItems", "-data", hex(pinned)});
    run({defaults, "write", "com.orrin.quayline", "quayline.trailingItems", "-data", hex("[]")});
    run({defaults, "write", "com.apple.dock", "tilesize", "-int", "64"});
    fs::create_directories(root / "prefix" / "bin");
    fs::create_directories(root / "prefix" / "share" / "quayline");
    fs::copy_file(program(), executable());
    std::ofstream(root / "prefix" / "share" / "quayline" / "Info.plist")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
           "<key>CFBundleIdentifier</key><string>com.orrin.quayline</string>"
           "<key>QuaylineHidesSystemDock</key><false/></dict></plist>\n";
  }
  fs::path executable() const { return root / "prefix" / "bin" / "quayline"; }
  ~Home() { fs::remove_all(root); }
  fs::path root;
};

class Display {
 public:
  Display() : c_(xcb_connect(nullptr, nullptr)) {
    root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
    clientList_ = atom("_NET_CLIENT_LIST");
    windowType_ = atom("_NET_WM_WINDOW_TYPE");
    dock_ = atom("_NET_WM_WINDOW_TYPE_DOCK");
  }
  ~Display() { xcb_disconnect(c_); }
  bool usable() const { return xcb_connection_has_error(c_) == 0; }

  // Whether a dock-type client is mapped.
  bool dockMapped() {
    for (const auto window : atoms(root_, clientList_)) {
      const auto types = atoms(window, windowType_);
      if (std::find(types.begin(), types.end(), dock_) == types.end()) {
        continue;
      }
      auto* attributes =
          xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, window), nullptr);
      const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
      std::free(attributes);
      if (viewable) {
        return true;
      }
    }
    return false;
  }

 private:
  xcb_atom_t atom(const char* name) {
    auto* reply = xcb_intern_atom_reply(
        c_, xcb_intern_atom(c_, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return result;
  }
  std::vector<std::uint32_t> atoms(xcb_window_t window, xcb_atom_t property) {
    auto* reply = xcb_get_property_reply(
        c_, xcb_get_property(c_, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 256), nullptr);
    std::vector<std::uint32_t> values;
    if (reply && reply->format == 32) {
      const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
      values.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return values;
  }

  xcb_connection_t* c_;
  xcb_window_t root_;
  xcb_atom_t clientList_, windowType_, dock_;
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

void end(pid_t pid) {
  ::kill(pid, SIGTERM);
  ::waitpid(pid, nullptr, 0);
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
    const pid_t pid = spawn({home.executable().string()});
    const auto limit = start + std::chrono::seconds(10);
    bool shown = false;
    while (!(shown = display.dockMapped()) && Clock::now() < limit) {
      std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    const auto elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    if (!shown) {
      end(pid);
      state.SkipWithError("no dock panel within 10 s");
      return;
    }
    state.SetIterationTime(elapsed);
    // Memory once the dock has settled: its first paint and the icon lookups are done.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    rss = std::max(rss, residentMegabytes(pid).value_or(0));
    end(pid);
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
