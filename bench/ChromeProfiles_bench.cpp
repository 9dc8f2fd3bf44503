// The browser's profiles: the main thread's share of a "Local State" reload (the parse runs on
// a queue), the parse of a 1 MB file itself, and attributing the browser's windows to profiles.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "chrome/ChromeProfileService.h"
#include "chrome/ChromeWindowEvidence.h"
#include "chrome/LocalStateFile.h"
#include "fakes/FakeAccessibility.h"
#include "fakes/FakeChromeInstances.h"
#include "fakes/FakeFolderWatch.h"
#include "fakes/FakeScheduler.h"
#include "fakes/FakeSystemLog.h"
#include "fakes/FakeWorkspace.h"
#include "fakes/ManualSerialQueue.h"
#include "model/Tile.h"
#include "windows/WindowRegistry.h"

namespace quayline {
namespace {

namespace fs = std::filesystem;

constexpr int kProfiles = 10;
constexpr ProcessId kBrowser = 100;

// Ten profiles, two of them signed in to one account, padded to about 1 MB the way the other
// sections of a long-used browser's file fill it.
std::string localState(int variant) {
  std::string cache;
  std::string order;
  for (int p = 0; p < kProfiles; ++p) {
    const std::string directory = p == 0 ? "Default" : "Profile " + std::to_string(p);
    cache += (p ? "," : "") + std::string("\"") + directory + "\": {\"name\": \"Person " +
             std::to_string(p + variant) + "\", \"gaia_given_name\": \"" + (p < 2 ? "Ann" : "") +
             "\", \"user_name\": \"p" + std::to_string(p) +
             "@x.org\", \"avatar_icon\": \"chrome://theme/IDR_PROFILE_AVATAR_" + std::to_string(p) +
             "\", \"default_avatar_fill_color\": -" + std::to_string(16777216 + p) + "}";
    order += (p ? "," : "") + std::string("\"") + directory + "\"";
  }
  std::string padding;
  for (int entry = 0; padding.size() < 1'000'000; ++entry) {
    padding += (entry ? "," : "") + std::string("\"k") + std::to_string(entry) +
               "\": {\"last_used\": \"13350000000000000\", \"value\": [1, 2.5, true, null]}";
  }
  return R"({"browser": {)" + padding + R"(}, "profile": {"profiles_order": [)" + order +
         R"(], "info_cache": {)" + cache + "}}}";
}

struct Fixture {
  explicit Fixture(const std::vector<std::string>& titles) {
    fs::create_directories(support);
    std::ofstream(support / "Local State") << localState(0);
    workspace.addApplication(kBrowser, std::string(kChromeBundleIdentifier), "Chromium", 1.0);
    instances.mainBrowser = kBrowser;
    for (const auto& title : titles) {
      accessibility.addWindow(kBrowser, title, Rect(0, 0, 800, 600));
    }
    // Only folders that exist can be watched: without this no change would reach the service.
    folders.watchable.insert(support.string());
    registry = std::make_unique<WindowRegistry>(workspace, accessibility, scheduler, inline_, log);
    scheduler.runPosted();
    service = std::make_unique<ChromeProfileService>(
        ChromeProfileService::Services{scheduler, queue, workspace, *registry, instances, folders,
                                       evidence},
        ChromeInstallation{support.string(), "Chromium"});
    queue.runAll();
    scheduler.runPosted();
  }
  ~Fixture() { fs::remove_all(support); }

  // Of this process alone: another run of the benchmark may be writing its own.
  const fs::path support =
      fs::temp_directory_path() / ("quayline-chrome-bench-" + std::to_string(::getpid()));
  FakeWorkspace workspace;
  FakeAccessibility accessibility;
  FakeScheduler scheduler;
  InlineSerialQueue inline_{"quayline.window-registry"};
  ManualSerialQueue queue;
  FakeSystemLog log;
  FakeChromeInstances instances;
  FakeFolderWatch folders;
  TitlesOnlyEvidence evidence;
  std::unique_ptr<WindowRegistry> registry;
  std::unique_ptr<ChromeProfileService> service;
};

// Only the main thread's part is timed: the file's change, the debounce timer handing the read to
// the queue, and taking its result. The parse on the queue runs with the clock stopped. Each
// iteration's file names the profiles differently, so each reload publishes a new list.
void BM_LocalStateReloadMainThread(benchmark::State& state) {
  Fixture fixture({});
  int variant = 0;
  std::int64_t published = 0;
  const Subscription counting = fixture.service->observeProfiles([&] { ++published; });
  for (auto _ : state) {
    std::ofstream(fixture.support / "Local State") << localState(++variant % 2);
    auto start = std::chrono::steady_clock::now();
    fixture.folders.change(fixture.support.string(), "Local State");
    fixture.scheduler.advance(ChromeProfileService::reloadDelay);
    std::chrono::duration<double> mainThread = std::chrono::steady_clock::now() - start;
    fixture.queue.runAll();
    start = std::chrono::steady_clock::now();
    fixture.scheduler.runPosted();
    mainThread += std::chrono::steady_clock::now() - start;
    state.SetIterationTime(mainThread.count());
  }
  if (published != state.iterations() || fixture.service->profiles().size() != kProfiles) {
    state.SkipWithError("not every change of the file was read");
  }
}
// Each iteration writes and parses 1 MB untimed: a fixed count keeps the run short.
BENCHMARK(BM_LocalStateReloadMainThread)
    ->UseManualTime()
    ->Iterations(30)
    ->Unit(benchmark::kMicrosecond);

void BM_LocalStateParse1MB(benchmark::State& state) {
  const auto text = localState(0);
  for (auto _ : state) {
    auto profiles = local_state::parse(text, "/nonexistent");
    benchmark::DoNotOptimize(profiles);
  }
  state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_LocalStateParse1MB)->Unit(benchmark::kMillisecond);

// 50 windows: most carry a profile's label, some a shared or unknown one.
void BM_Attribute50WindowsTo10Profiles(benchmark::State& state) {
  std::vector<std::string> titles;
  for (int w = 0; w < 50; ++w) {
    titles.push_back("Page " + std::to_string(w) + " - Chromium" +
                     (w % 5 == 4 ? std::string() : " - Person " + std::to_string(w % kProfiles)));
  }
  Fixture fixture(titles);
  for (auto _ : state) {
    auto unattributed = fixture.service->unattributedWindows();
    benchmark::DoNotOptimize(unattributed.data());
  }
  if (fixture.service->liveProfileDirectories().empty()) {
    state.SkipWithError("no window was attributed");
  }
}
BENCHMARK(BM_Attribute50WindowsTo10Profiles)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quayline
