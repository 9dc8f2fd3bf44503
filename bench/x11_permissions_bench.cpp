// The launch's permission checks against a real X server (run with DISPLAY set to an Xvfb display
// with a window manager): one `check()` is two batches of requests (the window manager's check
// window, the supported list, the Xwayland extension and a 1×1 image of the root; then the check
// window's own property) and two file-system looks (the sandbox's info file, the Trash folders).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "platform/SystemLog.h"
#include "platform/linux/LinuxPrivacyPermissions.h"
#include "platform/linux/x11/XConnection.h"

namespace {

using namespace quayline;

class NullLog final : public SystemLog {
 public:
  void log(std::string_view, std::string_view) override {}
  void console(std::string_view) override {}
};

void BM_CurrentGrants(benchmark::State& state) {
  // Other benchmarks of this program may keep an application object of their own.
  static int argc = 1;
  static char name[] = "quayline_x11_bench";
  static char* argv[] = {name, nullptr};
  std::unique_ptr<QCoreApplication> application;
  if (QCoreApplication::instance() == nullptr) {
    application = std::make_unique<QCoreApplication>(argc, argv);
  }
  NullLog log;
  auto connection = x11::XConnection::open(log);
  if (!connection) {
    state.SkipWithError("no X display (set DISPLAY)");
    return;
  }
  const char* home = std::getenv("HOME");
  LinuxPrivacyPermissions permissions(
      *connection, {std::filesystem::path(home ? home : "/tmp") / ".local" / "share" / "Trash"});
  std::size_t granted = 0;
  for (auto _ : state) {
    granted = permissions.currentGrants().size();
    benchmark::DoNotOptimize(granted);
  }
  state.counters["granted"] = static_cast<double>(granted);
  state.counters["roundTrips/check"] = benchmark::Counter(
      static_cast<double>(connection->roundTrips()), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_CurrentGrants)->Unit(benchmark::kMicrosecond);

}  // namespace
