// A row of 10 tiles at magnification 1.5, painted as browser-profile tiles (the browser's icon
// with each profile's badge: five built-in avatars, five coloured initials) and as application
// tiles. The goal is the profile row within 1.2 times the application row.
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>

#include "support/BenchDock.h"

namespace quayline {
namespace {

using bench::application;
using bench::Dock;

constexpr int kTiles = 10;

std::vector<Tile> profileTiles(FakeChromeProfiles& profiles) {
  std::vector<Tile> tiles;
  for (int i = 0; i < kTiles; ++i) {
    ChromeProfileTile profile;
    profile.profileDirectory = "Profile " + std::to_string(i);
    profile.displayName = "Person " + std::to_string(i);
    profile.initial = std::string(1, static_cast<char>('A' + i));
    if (i % 2 == 0) {
      ArgbImage picture{96, 96, std::vector<std::uint32_t>(96 * 96, 0xFF336699u + i)};
      profiles.avatars[profile.profileDirectory] = {
          std::make_shared<const ArgbImage>(std::move(picture)),
          "avatar:" + std::to_string(27 + i)};
    } else {
      profile.badgeColorARGB = 0xFF1A73E8u + static_cast<std::uint32_t>(i);
    }
    tiles.push_back(
        Tile{"chrome-profile:" + profile.profileDirectory, profile, TileSection::running});
  }
  return tiles;
}

std::vector<Tile> appTiles() {
  std::vector<Tile> tiles;
  for (int i = 0; i < kTiles; ++i) {
    const std::string bundle = "org.example.app" + std::to_string(i);
    tiles.push_back(Tile{"pinned:" + bundle, AppTile{bundle, "App " + std::to_string(i)}});
  }
  return tiles;
}

// A dock showing the row of ten, magnified to 1.5 and painted once, so that the icon cache is
// filled as it is after the first frame on screen.
struct MagnifiedDock : Dock {
  explicit MagnifiedDock(bool withProfiles) {
    const std::vector<Tile> row = withProfiles ? profileTiles(profiles) : appTiles();
    view->render(row, layout, std::nullopt);
    MagnifiedRow magnified;
    const double t = layout.t() + 2;
    for (int i = 0; i < kTiles; ++i) {
      magnified.slots.push_back({t * i, t, 1.5, 1.5 * t * i - 0.25 * t * kTiles});
    }
    view->setMagnifiedRow(magnified);
    paint();
  }
};

void paintMagnified(benchmark::State& state, bool profiles) {
  application();
  MagnifiedDock dock(profiles);
  for (auto _ : state) {
    dock.paint();
    benchmark::DoNotOptimize(dock.image.constBits());
  }
}

// This thread's processor time: a neighbour's load on the machine does not count in it.
double threadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The goal itself: both rows painted in turn, in alternating order, so that whatever else the
// machine does weighs on both alike. "ratio" is the profile row's time over the application
// row's; the iteration time is that of the pair.
void BM_ProfileRowOverAppRow(benchmark::State& state) {
  application();
  MagnifiedDock profileDock(true);
  MagnifiedDock appDock(false);
  double profileSeconds = 0;
  double appSeconds = 0;
  bool profileFirst = true;
  const auto timed = [](MagnifiedDock& dock) {
    const double start = threadSeconds();
    dock.paint();
    benchmark::DoNotOptimize(dock.image.constBits());
    return threadSeconds() - start;
  };
  for (auto _ : state) {
    if (profileFirst) {
      profileSeconds += timed(profileDock);
      appSeconds += timed(appDock);
    } else {
      appSeconds += timed(appDock);
      profileSeconds += timed(profileDock);
    }
    profileFirst = !profileFirst;
  }
  const auto frames = static_cast<double>(state.iterations());
  state.counters["profile_us"] = profileSeconds / frames * 1e6;
  state.counters["app_us"] = appSeconds / frames * 1e6;
  state.counters["ratio"] = profileSeconds / appSeconds;
}
BENCHMARK(BM_ProfileRowOverAppRow)->Unit(benchmark::kMicrosecond)->Repetitions(5);

// The fastest repetition: on a shared machine the others measure the neighbours' load as much
// as the painting.
double fastest(const std::vector<double>& times) {
  return *std::min_element(times.begin(), times.end());
}

void BM_RowOf10ProfileTilesAtMagnification1_5(benchmark::State& state) {
  paintMagnified(state, true);
}
BENCHMARK(BM_RowOf10ProfileTilesAtMagnification1_5)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ComputeStatistics("min", fastest)
    ->ReportAggregatesOnly(true);

void BM_RowOf10AppTilesAtMagnification1_5(benchmark::State& state) {
  paintMagnified(state, false);
}
BENCHMARK(BM_RowOf10AppTilesAtMagnification1_5)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ComputeStatistics("min", fastest)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace quayline
