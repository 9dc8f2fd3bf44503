// A row of 10 tiles at magnification 1.5, painted as browser-profile tiles (the browser's icon
// with each profile's badge: five built-in avatars, five coloured initials) and as application
// tiles. The goal is the profile row within 1.2 times the application row.
#include <benchmark/benchmark.h>

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

void paintMagnified(benchmark::State& state, bool profiles) {
  application();
  Dock dock;
  const std::vector<Tile> tiles = profiles ? profileTiles(dock.profiles) : appTiles();
  dock.view->render(tiles, dock.layout, std::nullopt);
  MagnifiedRow row;
  const double t = dock.layout.t() + 2;
  for (int i = 0; i < kTiles; ++i) {
    row.slots.push_back({t * i, t, 1.5, 1.5 * t * i - 0.25 * t * kTiles});
  }
  dock.view->setMagnifiedRow(row);
  dock.paint();  // fills the icon cache, as the first frame on screen does
  for (auto _ : state) {
    dock.paint();
    benchmark::DoNotOptimize(dock.image.constBits());
  }
}

void BM_RowOf10ProfileTilesAtMagnification1_5(benchmark::State& state) {
  paintMagnified(state, true);
}
BENCHMARK(BM_RowOf10ProfileTilesAtMagnification1_5)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

void BM_RowOf10AppTilesAtMagnification1_5(benchmark::State& state) {
  paintMagnified(state, false);
}
BENCHMARK(BM_RowOf10AppTilesAtMagnification1_5)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace quayline
