// The window registry's enumeration against a real X server, read through the accessibility
// adapter: 20 applications with 10 windows each, one application after the other (each one's
// "AXWindows", then six attributes of its windows in one batch); and one refresh of the registry
// on a desktop of 50 windows (10 applications with 5 each), in time and in round trips to the
// server (replies asked for after more requests went out), whole and one application at a time.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QCoreApplication>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/SystemLog.h"
#include "platform/linux/DesktopEntryIndex.h"
#include "platform/linux/x11/ActivationHistory.h"
#include "platform/linux/x11/WindowApplications.h"
#include "platform/linux/x11/X11Accessibility.h"
#include "platform/linux/x11/XConnection.h"
#include "windows/WindowRegistry.h"

extern char** environ;

namespace {

using namespace quayline;

// The processes of the bench's windows are made up: pids from here on.
constexpr int kFirstProcess = 100000;

class NullLog final : public SystemLog {
 public:
  void log(std::string_view, std::string_view) override {}
  void console(std::string_view) override {}
};

pid_t lockHolder(int number) {
  std::ifstream lock("/tmp/.X" + std::to_string(number) + "-lock");
  long pid = -1;
  lock >> pid;
  return lock ? static_cast<pid_t>(pid) : -1;
}

pid_t spawn(const std::vector<std::string>& arguments, int keep = -1) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  if (keep >= 0) {
    posix_spawn_file_actions_adddup2(&actions, keep, keep);
  }
  std::vector<char*> argv;
  for (const auto& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
    pid = -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

void stop(pid_t pid) {
  if (pid > 0) {
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
  }
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
  auto* reply = xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t result = reply != nullptr ? reply->atom : 0;
  std::free(reply);
  return result;
}

std::size_t propertyLength(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property) {
  auto* reply = xcb_get_property_reply(
      c, xcb_get_property(c, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 4096), nullptr);
  const std::size_t length =
      reply != nullptr ? static_cast<std::size_t>(xcb_get_property_value_length(reply)) : 0;
  std::free(reply);
  return length;
}

// Xvfb on a free display, openbox on it, and mapped windows of made-up processes.
class Display {
 public:
  Display(int applications, int windowsEach)
      : applications_(applications), windowsEach_(windowsEach) {
    // A display number of our own: the server's lock file names the winner of any race.
    for (int attempt = 0; attempt < 40 && !windows_; ++attempt) {
      const int number = 3300 + static_cast<int>((::getpid() * 7 + attempt * 31) % 3000);
      if (std::filesystem::exists("/tmp/.X" + std::to_string(number) + "-lock")) {
        continue;
      }
      display_ = ":" + std::to_string(number);
      server_ =
          spawn({"Xvfb", display_, "-nolisten", "tcp", "-noreset", "-screen", "0", "1920x1080x24"});
      for (int wait = 0; wait < 1000 && !windows_; ++wait) {
        int status = 0;
        if (::waitpid(server_, &status, WNOHANG) == server_) {
          server_ = -1;
          break;  // another server holds the number
        }
        if (lockHolder(number) == server_) {
          windows_ = xcb_connect(display_.c_str(), nullptr);
          if (xcb_connection_has_error(windows_) != 0) {
            xcb_disconnect(windows_);
            windows_ = nullptr;
          }
        }
        if (!windows_) {
          std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
      }
    }
    if (!windows_) {
      std::fputs("x11 bench: no X server\n", stderr);
      return;
    }
    const auto configuration = std::filesystem::temp_directory_path() /
                               ("quayline-bench-openbox-" + std::to_string(::getpid()) + ".xml");
    std::ofstream(configuration) << "<openbox_config xmlns=\"http://openbox.org/3.4/rc\">"
                                    "<keyboard/><mouse/></openbox_config>\n";
    // The window manager gets our display; the other benchmarks keep theirs.
    const char* previous = std::getenv("DISPLAY");
    const std::string saved = previous != nullptr ? previous : "";
    ::setenv("DISPLAY", display_.c_str(), 1);
    windowManager_ = spawn({"openbox", "--config-file", configuration.string()});
    if (previous != nullptr) {
      ::setenv("DISPLAY", saved.c_str(), 1);
    } else {
      ::unsetenv("DISPLAY");
    }
    createWindows();
    std::filesystem::remove(configuration);
  }

  ~Display() {
    if (windows_) {
      xcb_disconnect(windows_);
    }
    stop(windowManager_);
    stop(server_);
  }

  bool ready() const { return ready_; }
  const std::string& name() const { return display_; }

 private:
  void createWindows() {
    xcb_connection_t* c = windows_;
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    // openbox names its theme on the root once it has taken over the screen.
    const xcb_atom_t theme = atom(c, "_OB_THEME");
    for (int attempt = 0; attempt < 1000 && propertyLength(c, screen->root, theme) == 0;
         ++attempt) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const xcb_atom_t pid = atom(c, "_NET_WM_PID");
    const xcb_atom_t name = atom(c, "_NET_WM_NAME");
    const xcb_atom_t utf8 = atom(c, "UTF8_STRING");
    const xcb_atom_t type = atom(c, "_NET_WM_WINDOW_TYPE");
    const xcb_atom_t normal = atom(c, "_NET_WM_WINDOW_TYPE_NORMAL");
    for (int app = 0; app < applications_; ++app) {
      const std::uint32_t process = kFirstProcess + static_cast<std::uint32_t>(app);
      for (int w = 0; w < windowsEach_; ++w) {
        const xcb_window_t window = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root,
                          static_cast<std::int16_t>(20 * w), static_cast<std::int16_t>(10 * app),
                          400, 300, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0,
                          nullptr);
        const std::string title =
            "Document " + std::to_string(w) + " - Application " + std::to_string(app);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, name, utf8, 8,
                            static_cast<std::uint32_t>(title.size()), title.data());
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, pid, XCB_ATOM_CARDINAL, 32, 1,
                            &process);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, type, XCB_ATOM_ATOM, 32, 1, &normal);
        const char wmClass[] = "bench\0Bench";
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                            sizeof wmClass, wmClass);
        xcb_map_window(c, window);
      }
    }
    xcb_flush(c);
    if (propertyLength(c, screen->root, theme) == 0) {
      std::fputs("x11 bench: openbox did not start\n", stderr);
    }
    const xcb_atom_t list = atom(c, "_NET_CLIENT_LIST");
    for (int attempt = 0; attempt < 3000; ++attempt) {
      if (propertyLength(c, screen->root, list) / 4 >=
          static_cast<std::size_t>(applications_ * windowsEach_)) {
        ready_ = true;
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }

  int applications_;
  int windowsEach_;
  std::string display_;
  pid_t server_ = -1;
  pid_t windowManager_ = -1;
  xcb_connection_t* windows_ = nullptr;
  bool ready_ = false;
};

// Set up once for every run of the benchmark (Google Benchmark calls the function several times)
// and torn down at exit.
struct Fixture {
  Fixture(int applicationCount, int windowsPerApplication)
      : applications(applicationCount),
        windowsEach(windowsPerApplication),
        display(applicationCount, windowsPerApplication) {
    if (!display.ready()) {
      return;
    }
    // Wired as the program wires them: reads go through a connection of their own.
    connection = x11::XConnection::open(log, display.name().c_str());
    reads = x11::XConnection::open(log, display.name().c_str(),
                                   x11::XConnection::Events::destructionsOnly);
    if (connection && reads) {
      history = std::make_unique<x11::ActivationHistory>(*connection);
      accessibility = std::make_unique<X11Accessibility>(*connection, *reads, *history, entries,
                                                         windowApplications);
      accessibility->setMessagingTimeout(1.0);
    }
  }

  // The benchmark's targets: every application of the display.
  std::vector<WindowRegistry::Target> targets() const {
    std::vector<WindowRegistry::Target> result;
    for (int app = 0; app < applications; ++app) {
      result.push_back({kFirstProcess + app, "org.example.bench" + std::to_string(app)});
    }
    return result;
  }

  static QCoreApplication& qt() {
    static int argc = 1;
    static char name[] = "quayline_bench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
    return application;
  }

  int applications;
  int windowsEach;
  QCoreApplication& application = qt();
  Display display;
  NullLog log;
  DesktopEntryIndex entries;
  x11::WindowApplications windowApplications;
  std::unique_ptr<x11::XConnection> connection;
  std::unique_ptr<x11::XConnection> reads;
  std::unique_ptr<x11::ActivationHistory> history;
  std::unique_ptr<X11Accessibility> accessibility;
};

void BM_RegistryEnumerationOf200Windows(benchmark::State& state) {
  static Fixture fixture(20, 10);
  if (!fixture.accessibility) {
    state.SkipWithError("Xvfb and openbox did not come up");
    return;
  }
  X11Accessibility& accessibility = *fixture.accessibility;
  const std::vector<std::string_view> names{AX::subrole, AX::title,    AX::minimized,
                                            AX::main,    AX::position, AX::size};
  std::size_t windows = 0;
  for (auto _ : state) {
    windows = 0;
    for (int app = 0; app < fixture.applications; ++app) {
      const auto element = accessibility.applicationElement(kFirstProcess + app);
      const auto list = accessibility.attribute(element, AX::windows);
      const auto* elements = list ? std::get_if<std::vector<AXElement>>(&*list) : nullptr;
      if (elements == nullptr) {
        continue;
      }
      auto values = accessibility.attributes(*elements, names);
      windows += values.size();
      benchmark::DoNotOptimize(values);
    }
    fixture.connection->dispatchPendingEvents();
  }
  if (windows != static_cast<std::size_t>(fixture.applications * fixture.windowsEach)) {
    state.SkipWithError("not every window was listed");
  }
  state.counters["windows"] = static_cast<double>(windows);
}
BENCHMARK(BM_RegistryEnumerationOf200Windows)->Unit(benchmark::kMillisecond);

// One refresh of the registry as its queue runs it: every application in one enumeration
// (whole = 1), or each application on its own as `windowsOf(pid, bundle)` reads it (whole = 0).
void BM_RegistryRefreshOf50Windows(benchmark::State& state) {
  static Fixture fixture(10, 5);
  if (!fixture.accessibility) {
    state.SkipWithError("Xvfb and openbox did not come up");
    return;
  }
  const bool whole = state.range(0) != 0;
  X11Accessibility& accessibility = *fixture.accessibility;
  const auto targets = fixture.targets();
  // The first enumeration reads the processes of windows it has not seen yet; a refresh does not.
  benchmark::DoNotOptimize(WindowRegistry::windowsOf(accessibility, targets));
  const std::uint64_t roundTripsBefore = fixture.reads->roundTrips();
  std::size_t windows = 0;
  for (auto _ : state) {
    std::vector<AppWindow> found;
    if (whole) {
      found = WindowRegistry::windowsOf(accessibility, targets);
    } else {
      for (const auto& target : targets) {
        auto more = WindowRegistry::windowsOf(accessibility, target.pid, target.bundleIdentifier);
        found.insert(found.end(), more.begin(), more.end());
      }
    }
    windows = found.size();
    benchmark::DoNotOptimize(found);
  }
  if (windows != static_cast<std::size_t>(fixture.applications * fixture.windowsEach)) {
    state.SkipWithError("not every window was listed");
  }
  state.counters["windows"] = static_cast<double>(windows);
  state.counters["round_trips"] =
      static_cast<double>(fixture.reads->roundTrips() - roundTripsBefore) /
      static_cast<double>(state.iterations());
}
BENCHMARK(BM_RegistryRefreshOf50Windows)
    ->ArgName("whole")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
