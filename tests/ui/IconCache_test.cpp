#include "ui/icons/IconCache.h"

#include <gtest/gtest.h>

#include <QPainter>

#include "model/TileStore.h"
#include "ui/DockViewFixture.h"
#include "ui/icons/PlaceholderIcon.h"

namespace quayline {
namespace {

using testing::DockViewFixture;

QPixmap filled(int size, QColor color) {
  QPixmap pixmap(size, size);
  pixmap.fill(color);
  return pixmap;
}

class IconCacheTest : public DockViewFixture {};

TEST_F(IconCacheTest, DrawsFromTheSmallestRepresentationFourTimesTheTarget) {
  EXPECT_EQ(IconCache::pixelSize(64, 2), 128);
  EXPECT_EQ(IconCache::pixelSize(0.4, 1), 1) << "never zero";
  const QList<QSize> sizes{{32, 32}, {64, 64}, {256, 256}, {512, 512}, {1024, 1024}};
  EXPECT_EQ(IconCache::representation(sizes, 128), QSize(512, 512));
  EXPECT_EQ(IconCache::representation(sizes, 300), QSize(1024, 1024)) << "none reaches 1200";
  EXPECT_EQ(IconCache::representation({{48, 48}, {48, 48}}, 16), QSize(48, 48));
  EXPECT_EQ(IconCache::representation({}, 16), std::nullopt);

  // Each size painted its own colour shows which one was drawn.
  QIcon source;
  const std::vector<std::pair<int, QColor>> colours{
      {32, Qt::red}, {64, Qt::green}, {256, Qt::blue}, {512, Qt::yellow}, {1024, Qt::cyan}};
  for (const auto& [size, colour] : colours) {
    source.addPixmap(filled(size, colour));
  }
  const QImage small = IconCache::rasterize(source, 64, 128);
  EXPECT_EQ(small.size(), QSize(128, 128));
  EXPECT_EQ(small.pixelColor(64, 64), QColor(Qt::yellow));
  EXPECT_EQ(IconCache::rasterize(source, 150, 300).pixelColor(150, 150), QColor(Qt::cyan));
}

TEST_F(IconCacheTest, PlaceholderIsTheLightSquareWithAQuestionMark) {
  const QImage image =
      IconCache::rasterize(placeholderIcon(), 256, 256).convertToFormat(QImage::Format_ARGB32);
  image.save("/tmp/quayline-placeholder.png");
  EXPECT_EQ(image.pixelColor(10, 10).alpha(), 0) << "outside the square";
  const QColor fill = image.pixelColor(128, 40);
  EXPECT_NEAR(fill.red(), 237, 1) << "white level 0.93";
  EXPECT_EQ(fill.red(), fill.blue());
  EXPECT_EQ(fill.alpha(), 255);
  const QColor stroke = image.pixelColor(128, 26);
  EXPECT_NEAR(stroke.red(), 191, 12) << "a grey outline on the square's edge";
  int questionMark = 0;
  for (int y = 64; y < 192; ++y) {
    for (int x = 96; x < 160; ++x) {
      if (std::abs(image.pixelColor(x, y).red() - 140) <= 3) {
        ++questionMark;
      }
    }
  }
  EXPECT_GT(questionMark, 200) << "the ? is drawn in white level 0.55";
}

TEST_F(IconCacheTest, MissingApplicationGetsThePlaceholderOncePerSize) {
  const AppTile gone{"com.example.gone", "Gone", Url::fileURL("/apps/gone.desktop")};
  const QImage icon = icons.appIcon(gone, 64, 1);
  const QImage expected = IconCache::rasterize(placeholderIcon(), 64, 64);
  EXPECT_EQ(icon, expected);
  EXPECT_TRUE(icons.contains("com.example.gone:64"));
  EXPECT_EQ(icons.count(), 1u);
  icons.appIcon(gone, 64, 1);
  EXPECT_EQ(icons.count(), 1u);
}

TEST_F(IconCacheTest, ApplicationIconIsTheEntrysElseTheWindowsElseAStandInElseThePlaceholder) {
  const auto solid = [](int side, std::uint32_t argb) {
    return ArgbImage{side, side, std::vector<std::uint32_t>(std::size_t(side) * side, argb)};
  };
  workspace.addApplication(50, "Painter", "Painter");
  workspace.icons[50] = {solid(16, 0xFFFF0000), solid(32, 0xFF00FF00)};
  const QImage windowIcon = icons.appIcon(AppTile{"Painter", "Painter"}, 32, 1);
  EXPECT_EQ(windowIcon.pixelColor(16, 16), QColor(Qt::green)) << "the window's best size";

  // An entry's icon, through the theme, comes first (a new size, so nothing cached answers).
  files.existing.insert("/apps/Painter.desktop");
  iconNames.names["/apps/Painter.desktop"] = "user-trash";
  const AppTile installed{"Painter", "Painter", Url::fileURL("/apps/Painter.desktop")};
  const QImage fromEntry = icons.appIcon(installed, 40, 1);
  EXPECT_NE(fromEntry.pixelColor(20, 20), QColor(Qt::green));
  EXPECT_NE(fromEntry, IconCache::rasterize(placeholderIcon(), 40, 40))
      << "the Adwaita fallback has user-trash";
  // Found through the workspace when the tile has no entry of its own.
  workspace.installed.emplace("com.example.other", Url::fileURL("/apps/Painter.desktop"));
  EXPECT_EQ(icons.appIcon(AppTile{"com.example.other", "Other"}, 40, 1), fromEntry);

  // The Finder on a desktop without a file manager: the platform's stand-in.
  iconNames.standIns[std::string(TileStore::finderBundleIdentifier)] = "system-file-manager";
  const QImage finder =
      icons.appIcon(AppTile{std::string(TileStore::finderBundleIdentifier), "Finder"}, 48, 1);
  EXPECT_NE(finder, IconCache::rasterize(placeholderIcon(), 48, 48));
  EXPECT_GT(finder.pixelColor(24, 24).alpha(), 0);

  // A window without an icon and nothing else: the placeholder.
  workspace.addApplication(51, "Bare", "Bare");
  EXPECT_EQ(icons.appIcon(AppTile{"Bare", "Bare"}, 48, 1),
            IconCache::rasterize(placeholderIcon(), 48, 48));
}

TEST_F(IconCacheTest, UnknownNamedImageIsTransparent) {
  const QImage image = icons.icon("no-such-icon-anywhere", 32, 1);
  EXPECT_EQ(image.size(), QSize(32, 32));
  EXPECT_EQ(image.pixelColor(16, 16).alpha(), 0);
  EXPECT_TRUE(icons.contains("named:no-such-icon-anywhere:32"));
  EXPECT_GT(icons.icon("user-trash-full", 32, 1).pixelColor(16, 16).alpha(), 0);
}

TEST_F(IconCacheTest, KeepsThe512MostRecentlyUsed) {
  for (int i = 0; i < 512; ++i) {
    icons.icon("missing-" + std::to_string(i), 1, 1);
  }
  EXPECT_EQ(icons.count(), 512u);
  icons.icon("missing-0", 1, 1);  // used again: now the most recent
  icons.icon("missing-512", 1, 1);
  EXPECT_EQ(icons.count(), 512u);
  EXPECT_TRUE(icons.contains("named:missing-0:1"));
  EXPECT_FALSE(icons.contains("named:missing-1:1")) << "the least recently used goes";
  EXPECT_TRUE(icons.contains("named:missing-512:1"));
}

TEST_F(IconCacheTest, IconStyleChangeEmptiesTheCacheAndTellsTheViews) {
  icons.icon("user-trash", 32, 1);
  int told = 0;
  auto watch = icons.observeIconAppearance([&] {
    EXPECT_EQ(icons.count(), 0u) << "emptied before the views redraw";
    ++told;
  });
  desktop.theme = "HighContrast";
  scheduler.advance(1.5);
  EXPECT_EQ(told, 1);
  scheduler.advance(1.5);
  EXPECT_EQ(told, 1);
}

}  // namespace
}  // namespace quayline
