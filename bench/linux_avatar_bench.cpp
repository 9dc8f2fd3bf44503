// The browser's built-in avatars from a generated resource pack shaped like the Debian
// browser's (a few megabytes of other resources, a run of 29 pictures of 96 × 96), decoded by
// the Qt adapter. Goals: the first avatar within 5 ms, later ones within 20 µs, at most 200 KB
// kept.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <filesystem>
#include <fstream>
#include <random>

#include "chrome/ChromeAvatarCatalog.h"
#include "chrome/ChromeAvatarImages.h"
#include "chrome/ResourcePackBuilder.h"
#include "platform/linux/QtImageDecoding.h"

namespace quayline {
namespace {

std::string avatarPng(int variant) {
  QImage picture(96, 96, QImage::Format_ARGB32);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(QColor::fromHsv(variant * 12 % 360, 160, 220));
  painter.drawEllipse(QRectF(4, 4, 88, 88));
  painter.setBrush(Qt::white);
  painter.drawEllipse(QRectF(30 + variant % 5, 20, 36, 36));
  painter.end();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  picture.save(&buffer, "PNG");
  return bytes.toStdString();
}

const std::filesystem::path& pack() {
  static const std::filesystem::path path = [] {
    std::vector<std::pair<std::uint16_t, std::string>> resources;
    std::mt19937 random(16);
    for (std::uint16_t id = 1; id < 300; ++id) {
      std::string filler(6000 + random() % 12000, '\0');
      for (char& c : filler) {
        c = static_cast<char>(random());
      }
      resources.emplace_back(id, std::move(filler));
    }
    for (int j = 0; j < 29; ++j) {
      resources.emplace_back(static_cast<std::uint16_t>(300 + j), avatarPng(j));
    }
    const auto file = std::filesystem::temp_directory_path() /
                      ("quayline-avatar-bench-" + std::to_string(::getpid()) + ".pak");
    std::ofstream(file, std::ios::binary) << buildResourcePack(resources);
    return file;
  }();
  return path;
}

void BM_FirstAvatar(benchmark::State& state) {
  QtImageDecoding decoder;
  std::size_t kept = 0;
  for (auto _ : state) {
    ChromeAvatarCatalog catalog({pack()}, decoder);
    benchmark::DoNotOptimize(catalog.image(27));
    kept = catalog.keptBytes();
  }
  state.counters["kept_bytes_one_avatar"] = static_cast<double>(kept);
  state.counters["pack_bytes"] = static_cast<double>(std::filesystem::file_size(pack()));
}
BENCHMARK(BM_FirstAvatar)->Unit(benchmark::kMillisecond);

// A profile's avatar once it is known: what every frame asks while the dock is magnified.
void BM_LaterAvatar(benchmark::State& state) {
  QtImageDecoding decoder;
  ChromeAvatarCatalog catalog({pack()}, decoder);
  ChromeAvatarImages avatars(std::filesystem::temp_directory_path(), catalog, decoder);
  ChromeProfile profile;
  profile.directory = "Profile 3";
  profile.avatarIconValue = "chrome://theme/IDR_PROFILE_AVATAR_31";
  avatars.image(profile);
  for (auto _ : state) {
    benchmark::DoNotOptimize(avatars.image(profile));
  }
}
BENCHMARK(BM_LaterAvatar)->Unit(benchmark::kMicrosecond);

// Another built-in avatar after the first: decoded from the block kept in memory.
void BM_AnotherAvatarDecoded(benchmark::State& state) {
  QtImageDecoding decoder;
  std::size_t kept = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ChromeAvatarCatalog catalog({pack()}, decoder);
    catalog.image(27);
    state.ResumeTiming();
    benchmark::DoNotOptimize(catalog.image(40));
    kept = catalog.keptBytes();
  }
  state.counters["kept_bytes_two_avatars"] = static_cast<double>(kept);
}
BENCHMARK(BM_AnotherAvatarDecoded)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quayline
