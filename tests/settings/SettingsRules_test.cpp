// The settings window's decisions: the size slider's write rule, where the window reopens,
// the About texts and which program changes the icon style.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "fakes/FakeApplicationBundle.h"
#include "fakes/FakeDistributedNotifications.h"
#include "fakes/FakePreferenceDomains.h"
#include "fakes/FakeWorkspace.h"
#include "model/SystemDockPreferences.h"
#include "settings/AboutInfo.h"
#include "settings/DockSizeSetting.h"
#include "settings/IconStyleSettings.h"
#include "settings/SettingsWindowFrame.h"

namespace quayline {
namespace {

using SystemDockPreferences::domain;

TEST(DockSizeSettingTest, WritesTheRoundedSizeOnlyWhenItDiffersFromTheStoredOne) {
  struct Row {
    std::optional<PropertyValue> stored;
    double released;
    std::optional<std::int64_t> written;
  };
  const Row rows[] = {
      {std::nullopt, 63.6, std::nullopt},       // rounds to the default 64
      {PropertyValue(64), 63.6, std::nullopt},  // rounds to what is stored
      {PropertyValue(64), 64.4, std::nullopt},
      {PropertyValue(48), 63.6, 64},
      {PropertyValue(63.6), 63.6, 64},     // a fractional size stored elsewhere
      {PropertyValue("large"), 70.5, 71},  // not a number reads as 64; halves go up
      {PropertyValue(64), std::nan(""), std::nullopt},
  };
  for (const Row& row : rows) {
    FakePreferenceDomains domains;
    FakeDistributedNotifications notifications;
    if (row.stored) {
      domains.seed(domain, "tilesize", *row.stored);
    }
    EXPECT_EQ(DockSizeSetting::commit(row.released, domains, notifications),
              row.written.has_value())
        << row.released;
    const auto writes = domains.writes(domain);
    if (row.written) {
      ASSERT_EQ(writes.size(), 1u) << row.released;
      EXPECT_EQ(writes[0].value, PropertyValue(*row.written));
      EXPECT_EQ(notifications.posted,
                std::vector<std::string>{std::string(SystemDockPreferences::didChange)});
    } else {
      EXPECT_TRUE(writes.empty()) << row.released;
      EXPECT_TRUE(notifications.posted.empty());
    }
  }
}

TEST(SettingsWindowFrameTest, StoredFramesReadBackAndBadOnesAreIgnored) {
  FakePreferenceDomains domains;
  EXPECT_EQ(SettingsWindowFrame::stored(domains), std::nullopt);
  SettingsWindowFrame::store(domains, Rect(10.4, -20, 800, 600));
  EXPECT_EQ(SettingsWindowFrame::stored(domains), Rect(10, -20, 800, 600));
  // The same frame again rewrites nothing.
  SettingsWindowFrame::store(domains, Rect(10, -20, 800, 600));
  EXPECT_EQ(domains.writes(PreferenceDomains::application).size(), 1u);

  for (const char* bad :
       {"", "1 2 3", "1 2 3 4 5", "1 2 0 4", "1 2 -3 4", "a b c d", "1 2 nan 4", "1 2 inf 4"}) {
    domains.seed(PreferenceDomains::application, SettingsWindowFrame::key, PropertyValue(bad));
    EXPECT_EQ(SettingsWindowFrame::stored(domains), std::nullopt) << bad;
  }
  domains.seed(PreferenceDomains::application, SettingsWindowFrame::key, PropertyValue(12));
  EXPECT_EQ(SettingsWindowFrame::stored(domains), std::nullopt);
}

TEST(SettingsWindowFrameTest, ARestoredFrameIsKeptWhollyOnTheScreenItOverlapsMost) {
  const Rect left(0, 0, 1920, 1080);
  const Rect right(1920, 0, 1280, 1024);
  const std::vector<Rect> screens{left, right};
  struct Row {
    std::optional<Rect> stored;
    std::optional<Rect> restored;
    const char* why;
  };
  const Row rows[] = {
      {std::nullopt, std::nullopt, "nothing stored: centred"},
      {Rect(100, 100, 800, 600), Rect(100, 100, 800, 600), "on screen: unchanged"},
      {Rect(1700, 50, 800, 600), Rect(1920, 50, 800, 600), "mostly on the right screen"},
      {Rect(1500, 50, 800, 600), Rect(1120, 50, 800, 600), "mostly on the left screen"},
      {Rect(5000, 3000, 800, 600), Rect(1120, 480, 800, 600), "unplugged display: first screen"},
      {Rect(100, 100, 300, 200), Rect(100, 100, 680, 440), "below the minimum size"},
      {Rect(2000, 10, 3000, 3000), Rect(1920, 0, 1280, 1024), "larger than its screen"},
      {Rect(-300, -100, 800, 600), Rect(0, 0, 800, 600), "off the top left"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(SettingsWindowFrame::restored(row.stored, screens), row.restored) << row.why;
  }
  EXPECT_EQ(SettingsWindowFrame::restored(Rect(5000, 5000, 800, 600), {}),
            Rect(5000, 5000, 800, 600));
}

TEST(AboutInfoTest, NameVersionAndFooterComeFromTheInformationDictionary) {
  FakeApplicationBundle bundle;
  EXPECT_EQ(
      AboutInfo::read(bundle),
      (AboutInfo{"Quayline", "Unknown", "Quayline gives every Chrome profile its own dock icon."}));

  bundle.info.emplace("CFBundleName", PropertyValue("Quayline Beta"));
  bundle.info.emplace("CFBundleShortVersionString", PropertyValue("1.2.0"));
  bundle.info.emplace("NSHumanReadableCopyright", PropertyValue("© 2026 Orrin."));
  EXPECT_EQ(
      AboutInfo::read(bundle),
      (AboutInfo{"Quayline Beta", "1.2.0",
                 "Quayline Beta gives every Chrome profile its own dock icon. © 2026 Orrin."}));
  bundle.info.emplace("CFBundleVersion", PropertyValue("417"));
  EXPECT_EQ(AboutInfo::read(bundle).version, "1.2.0 (417)");
  bundle.info["CFBundleVersion"] = PropertyValue("1.2.0");
  EXPECT_EQ(AboutInfo::read(bundle).version, "1.2.0");
  // A name of the wrong type falls back.
  bundle.info["CFBundleName"] = PropertyValue(true);
  EXPECT_EQ(AboutInfo::read(bundle).name, "Quayline");
}

TEST(IconStyleSettingsTest, OffersOnlyTheCurrentDesktopsProgramOrADesktopNeutralOne) {
  using V = std::vector<std::string_view>;
  EXPECT_EQ(IconStyleSettings::candidates(""), V{"lxappearance"});
  EXPECT_EQ(IconStyleSettings::candidates("XFCE"), (V{"xfce-ui-settings", "lxappearance"}));
  EXPECT_EQ(IconStyleSettings::candidates("ubuntu:GNOME"), (V{"org.gnome.tweaks", "lxappearance"}));
  EXPECT_EQ(IconStyleSettings::candidates("kde"), (V{"kcm_icons", "lxappearance"}));
  EXPECT_EQ(IconStyleSettings::candidates("LXDE"), V{"lxappearance"});

  FakeWorkspace workspace;
  IconStyleSettings xfce(workspace, "XFCE");
  EXPECT_EQ(xfce.application(), std::nullopt);
  EXPECT_FALSE(xfce.open());
  EXPECT_TRUE(workspace.requests.empty());
  // Another desktop's program would change a setting this desktop does not read.
  workspace.installed.emplace("org.gnome.tweaks",
                              Url::fileURL("/usr/share/applications/org.gnome.tweaks.desktop"));
  EXPECT_EQ(xfce.application(), std::nullopt);
  workspace.installed.emplace("lxappearance",
                              Url::fileURL("/usr/share/applications/lxappearance.desktop"));
  workspace.installed.emplace("xfce-ui-settings",
                              Url::fileURL("/usr/share/applications/xfce-ui-settings.desktop"));
  EXPECT_EQ(xfce.application(), Url::fileURL("/usr/share/applications/xfce-ui-settings.desktop"));
  EXPECT_TRUE(xfce.open());
  ASSERT_EQ(workspace.requests.size(), 1u);
  EXPECT_EQ(workspace.requests[0].operation, "open");
}

}  // namespace
}  // namespace quayline
