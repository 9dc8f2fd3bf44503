#include "dock/SystemAppearance.h"

#include <gtest/gtest.h>

#include "app/Preferences.h"
#include "dock/FakeDesktopAppearance.h"
#include "dock/IconAppearanceMonitor.h"
#include "fakes/FakeApplicationAppearance.h"
#include "fakes/FakeLoginItem.h"
#include "fakes/FakePreferenceDomains.h"
#include "fakes/FakeScheduler.h"

namespace quayline {
namespace {

using Scheme = DesktopAppearance::ColorScheme;

class SystemAppearanceTest : public ::testing::Test {
 protected:
  FakePreferenceDomains domains;
  FakeLoginItem loginItem;
  FakeApplicationAppearance applicationAppearance;
  Preferences preferences{domains, loginItem, applicationAppearance};
  FakeDesktopAppearance desktop;
  FakeScheduler scheduler;
};

TEST(SystemAppearanceDecision, ForcedModesWinOverTheDesktop) {
  EXPECT_TRUE(SystemAppearance::isDark(AppearanceMode::dark, Scheme::light));
  EXPECT_TRUE(SystemAppearance::isDark(AppearanceMode::dark, Scheme::dark));
  EXPECT_FALSE(SystemAppearance::isDark(AppearanceMode::light, Scheme::dark));
  EXPECT_TRUE(SystemAppearance::isDark(AppearanceMode::system, Scheme::dark));
  EXPECT_FALSE(SystemAppearance::isDark(AppearanceMode::system, Scheme::light));
}

TEST_F(SystemAppearanceTest, FollowsTheDesktopUntilTheSettingForcesAMode) {
  SystemAppearance appearance(preferences, desktop);
  int published = 0;
  auto watch = appearance.observeDark([&](const bool&) { ++published; });
  EXPECT_FALSE(appearance.isDark());

  desktop.scheme = Scheme::dark;
  desktop.notify();
  EXPECT_TRUE(appearance.isDark());

  preferences.setAppearanceMode(AppearanceMode::dark);
  desktop.scheme = Scheme::light;
  desktop.notify();
  EXPECT_TRUE(appearance.isDark()) << "a forced dark mode keeps the dock dark";

  preferences.setAppearanceMode(AppearanceMode::light);
  EXPECT_FALSE(appearance.isDark());
  preferences.setAppearanceMode(AppearanceMode::system);
  EXPECT_FALSE(appearance.isDark());
  EXPECT_EQ(published, 2) << "only real changes are published";
}

TEST_F(SystemAppearanceTest, PublishesEachAccessibilityOptionOnlyWhenItChanges) {
  SystemAppearance appearance(preferences, desktop);
  int contrast = 0;
  int motion = 0;
  auto watchContrast = appearance.observeIncreaseContrast([&](const bool&) { ++contrast; });
  auto watchMotion = appearance.observeReduceMotion([&](const bool&) { ++motion; });

  desktop.options.increaseContrast = true;
  desktop.notify();
  desktop.notify();
  EXPECT_TRUE(appearance.increaseContrast());
  EXPECT_FALSE(appearance.reduceMotion());
  EXPECT_FALSE(appearance.reduceTransparency());
  EXPECT_EQ(contrast, 1);
  EXPECT_EQ(motion, 0);
}

TEST_F(SystemAppearanceTest, IconStyleChangeIsAnnouncedOnceAtTheNextPoll) {
  IconAppearanceMonitor monitor(desktop, scheduler);
  int announced = 0;
  auto watch = monitor.observeIconAppearance([&] { ++announced; });
  EXPECT_EQ(monitor.lastIconTheme(), "Adwaita");

  desktop.theme = "Papirus-Dark";
  scheduler.advance(1.4);
  EXPECT_EQ(announced, 0) << "nothing before the 1.5 s tick";
  scheduler.advance(0.1);
  EXPECT_EQ(announced, 1);
  EXPECT_EQ(monitor.lastIconTheme(), "Papirus-Dark");

  scheduler.advance(1.5);
  EXPECT_EQ(announced, 1) << "the same theme again announces nothing";

  desktop.theme = "";
  scheduler.advance(1.5);
  EXPECT_EQ(announced, 2) << "a theme that disappears is a change too";
}

}  // namespace
}  // namespace quayline
