// Attributing the browser's windows to its profiles the Linux way, where titles never name the
// profile: 50 windows against 10 profiles, some opened with a startup id, the others found by
// the selected-tab titles of the profiles' session files. Goal: 50 µs for all 50.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "chrome/ChromeProfileService.h"
#include "chrome/SessionWriter.h"
#include "fakes/FakeAccessibility.h"
#include "fakes/FakeChromeInstances.h"
#include "fakes/FakeFolderWatch.h"
#include "fakes/FakeScheduler.h"
#include "fakes/FakeSystemLog.h"
#include "fakes/FakeWorkspace.h"
#include "foundation/SerialQueue.h"
#include "foundation/Signal.h"
#include "model/Tile.h"
#include "platform/linux/LinuxChromeWindowEvidence.h"
#include "windows/WindowRegistry.h"

namespace quayline {
namespace {

namespace fs = std::filesystem;

constexpr int kProfiles = 10;
constexpr int kWindows = 50;
constexpr ProcessId kBrowser = 100;

// Every fifth window was opened by the dock and carries its launch's startup id.
class BenchWindowFacts final : public WindowLaunchFacts {
 public:
  std::string startupId(std::uint32_t window) const override {
    return window % 5 == 0 ? "quayline-1-" + std::to_string(window) : std::string();
  }
  Subscription observeWindows(std::function<void(const Event&)> observer) override {
    return events.connect(std::move(observer));
  }
  Signal<Event> events;
};

std::string directoryOf(int profile) {
  return profile == 0 ? "Default" : "Profile " + std::to_string(profile);
}

struct Fixture {
  Fixture() {
    std::string cache;
    std::string order;
    for (int p = 0; p < kProfiles; ++p) {
      cache += (p ? ",\"" : "\"") + directoryOf(p) + "\": {\"name\": \"Person " +
               std::to_string(p) + "\"}";
      order += (p ? ",\"" : "\"") + directoryOf(p) + "\"";
      // Each profile shows five of the pages, one per window.
      SessionWriter session;
      for (int w = p; w < kWindows; w += kProfiles) {
        const std::string page = "Page " + std::to_string(w);
        session.tab(w, 1000 + w, 0, std::u16string(page.begin(), page.end())).selected(w, 0);
      }
      fs::create_directories(support / directoryOf(p) / "Sessions");
      std::ofstream(support / directoryOf(p) / "Sessions" / "Session_1", std::ios::binary)
          << session.bytes();
    }
    std::ofstream(support / "Local State") << R"({"profile": {"profiles_order": [)" << order
                                           << R"(], "info_cache": {)" << cache << "}}}";
    workspace.addApplication(kBrowser, std::string(kChromeBundleIdentifier), "Chromium", 1.0);
    instances.mainBrowser = kBrowser;
    for (int w = 0; w < kWindows; ++w) {
      accessibility
          .addWindow(kBrowser, "Page " + std::to_string(w) + " - Chromium", Rect(0, 0, 800, 600))
          ->windowNumber = static_cast<std::uint32_t>(w);
    }
    registry = std::make_unique<WindowRegistry>(workspace, accessibility, scheduler, queue, log);
    scheduler.runPosted();
    evidence = std::make_unique<LinuxChromeWindowEvidence>(
        LinuxChromeWindowEvidence::Services{scheduler, queue, folders, accessibility, facts},
        ChromeInstallation{support.string(), "Chromium"});
    service = std::make_unique<ChromeProfileService>(
        ChromeProfileService::Services{scheduler, queue, workspace, *registry, instances, folders,
                                       *evidence},
        ChromeInstallation{support.string(), "Chromium"});
    scheduler.runPosted();
    // The dock asked for windows in these profiles; the launches carried these ids.
    for (std::uint32_t w = 0; w < kWindows; w += 5) {
      const Subscription opening = evidence->opening(directoryOf(static_cast<int>(w) % kProfiles));
      facts.events.emit(
          {WindowLaunchFacts::Event::Kind::launched, 0, 0, "quayline-1-" + std::to_string(w)});
    }
  }
  ~Fixture() { fs::remove_all(support); }

  const fs::path support = fs::temp_directory_path() / "quayline-evidence-bench";
  FakeWorkspace workspace;
  FakeAccessibility accessibility;
  FakeScheduler scheduler;
  InlineSerialQueue queue{"quayline.chrome-profiles"};
  FakeSystemLog log;
  FakeChromeInstances instances;
  FakeFolderWatch folders;
  BenchWindowFacts facts;
  std::unique_ptr<WindowRegistry> registry;
  std::unique_ptr<LinuxChromeWindowEvidence> evidence;
  std::unique_ptr<ChromeProfileService> service;
};

void BM_AttributeBySessionEvidence50WindowsTo10Profiles(benchmark::State& state) {
  Fixture fixture;
  for (auto _ : state) {
    auto unattributed = fixture.service->unattributedWindows();
    benchmark::DoNotOptimize(unattributed.data());
  }
  if (fixture.service->liveProfileDirectories().size() != kProfiles ||
      !fixture.service->unattributedWindows().empty()) {
    state.SkipWithError("the windows were not all attributed");
  }
}
BENCHMARK(BM_AttributeBySessionEvidence50WindowsTo10Profiles)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quayline
