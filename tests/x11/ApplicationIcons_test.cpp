// Application icons on a real display: the entry's, else the one the window carries, else the
// placeholder.
#include <gtest/gtest.h>

#include "dock/FakeDesktopAppearance.h"
#include "dock/IconAppearanceMonitor.h"
#include "platform/linux/DesktopEntryIconNames.h"
#include "platform/linux/GioFileManager.h"
#include "support/Desktop.h"
#include "support/X11Environment.h"
#include "ui/icons/IconCache.h"
#include "ui/icons/PlaceholderIcon.h"

namespace quayline::x11test {
namespace {

TEST(ApplicationIcons, TheEntrysIconElseTheWindowsElseThePlaceholder) {
  const InstalledEntry entry(
      "org.quayline.Iconic.desktop",
      clientEntry("Iconic", "--class iconic,Iconic", "Iconic") + "Icon=user-trash\n");
  Desktop desktop;
  FakeDesktopAppearance appearance;
  IconAppearanceMonitor monitor(appearance, desktop.scheduler);
  GioFileManager files;
  DesktopEntryIconNames names;
  IconCache icons(monitor, *desktop.workspace, files, names);

  TestClient iconic({"--class", "iconic,Iconic", "--icon", "32:ff00ff00"});
  // Two sizes and a third cut short, as a broken client might write it.
  TestClient painter({"--class", "painter,Painter", "--icon", "16:ffff0000", "--icon",
                      "48:ff00ff00", "--truncated-icon"});
  TestClient bare({"--class", "bare,Bare"});
  const auto iconicApp = desktop.waitForApplication("org.quayline.Iconic");
  const auto painterApp = desktop.waitForApplication("Painter");
  ASSERT_TRUE(iconicApp && painterApp && desktop.waitForApplication("Bare"));

  std::vector<int> sides;
  for (const ArgbImage& image : desktop.workspace->applicationIcons(painterApp->pid)) {
    sides.push_back(image.width);
  }
  EXPECT_EQ(sides, (std::vector<int>{16, 48}));

  const QImage placeholder = IconCache::rasterize(placeholderIcon(), 48, 48);
  const QImage fromEntry =
      icons.appIcon(AppTile{"org.quayline.Iconic", "Iconic", iconicApp->bundleURL}, 48, 1);
  EXPECT_NE(fromEntry, placeholder);
  EXPECT_NE(fromEntry.pixelColor(24, 24), QColor(Qt::green))
      << "the entry's icon, not the window's";
  EXPECT_EQ(icons.appIcon(AppTile{"Painter", "Painter"}, 48, 1).pixelColor(24, 24),
            QColor(Qt::green));
  // openbox writes its own default icon onto Bare's window: that one is not Bare's.
  EXPECT_EQ(icons.appIcon(AppTile{"Bare", "Bare"}, 48, 1), placeholder);
}

}  // namespace
}  // namespace quayline::x11test
