// The launch's login-item step: where the running copy lives (the mount table, the device's
// removable flag) and the autostart entry's state, then nothing to write when the entry is
// already there (every launch after the first) or one atomic write (the first launch).
// Goal: with the permission checks, at most 5 % of start-up.
//
//   build/bench/quayline_linux_bench --benchmark_filter=LoginItem
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/Preferences.h"
#include "fakes/FakeApplicationAppearance.h"
#include "fakes/FakePreferenceDomains.h"
#include "fakes/FakeSystemLog.h"
#include "platform/linux/LinuxInstallPlace.h"
#include "platform/linux/XdgAutostartEntry.h"
#include "system/InstallLocation.h"
#include "system/LoginItemService.h"

namespace quayline {
namespace {

namespace fs = std::filesystem;

void loginItemSync(benchmark::State& state) {
  const bool registered = state.range(0) != 0;
  const fs::path root =
      fs::temp_directory_path() / ("quayline-login-bench-" + std::to_string(::getpid()));
  fs::create_directories(root / "prefix/bin");
  std::ofstream(root / "prefix/bin/quayline") << "#!/bin/sh\n";
  fs::permissions(root / "prefix/bin/quayline", fs::perms::owner_all);
  LinuxInstallPlace place(root / "prefix", root / "home/.local");
  InstallLocation location(place);
  XdgAutostartEntry entry(root / "config/autostart/com.orrin.quayline.desktop");
  FakeSystemLog log;
  LoginItemService loginItem(entry, location, log);
  FakePreferenceDomains domains;
  FakeApplicationAppearance appearance;
  Preferences preferences(domains, loginItem, appearance);
  for (auto _ : state) {
    if (!registered) {
      state.PauseTiming();
      (void)entry.unregister();
      state.ResumeTiming();
    }
    loginItem.syncWithPreference(preferences);
  }
  if (!log.consoleLines.empty() || entry.status() != LoginItemRegistration::Status::enabled) {
    state.SkipWithError("the entry was not registered");
  }
  fs::remove_all(root);
}
BENCHMARK(loginItemSync)
    ->Name("LoginItemSync")
    ->ArgName("registered")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quayline
