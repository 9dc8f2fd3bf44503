#include "model/TileStore.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "fakes/FakeDockServices.h"

namespace quayline {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using Kind = WorkspaceNotification::Kind;
using Ids = std::vector<std::string>;

const std::string kChrome(kChromeBundleIdentifier);

class TileStoreTest : public ::testing::Test, protected FakeDockServices {
 protected:
  void pinned(const std::vector<PinnedItem>& items) { seed(PinnedItemStore::pinnedKey, items); }
  void trailing(const std::vector<PinnedItem>& items) { seed(PinnedItemStore::trailingKey, items); }

  TileStore& start() {
    if (!domains.copy(PreferenceDomains::application, PinnedItemStore::pinnedKey)) {
      pinned({});
    }
    if (!domains.copy(PreferenceDomains::application, PinnedItemStore::trailingKey)) {
      trailing({});
    }
    build();
    return *store;
  }

  Ids ids() const {
    Ids result;
    for (const auto& tile : store->tiles()) {
      result.push_back(tile.id);
    }
    return result;
  }
  // The identifiers of one section, without Finder and the dividers.
  Ids section(TileSection wanted) const {
    Ids result;
    for (const auto& tile : store->tiles()) {
      if (tile.section == wanted && !tile.isDivider() && tile.id != "system:finder") {
        result.push_back(tile.id);
      }
    }
    return result;
  }

  // Chrome's application, running as the main browser.
  void runChrome(const std::string& name = "Chromium") {
    workspace.addApplication(50, kChrome, name, 50);
    instances.mainBrowser = 50;
  }
};

TEST_F(TileStoreTest, WithoutOtherApplicationsThereIsNoRunningSection) {
  files.addApplication("/apps/editor.app", "org.example.Editor", "Editor.app");
  workspace.installed.emplace("com.apple.finder", Url::fileURL("/apps/files.desktop"));
  pinned({PinnedApp{"org.example.Editor", "/apps/editor.app"}, PinnedSpacer{},
          PinnedFolder{"/home/u/Projects"}});
  trailing({PinnedFolder{"/home/u/Downloads"}});
  workspace.addApplication(1, "com.orrin.quayline", "Quayline").activationPolicy =
      ActivationPolicy::accessory;

  start();

  EXPECT_THAT(ids(),
              ElementsAre("system:finder", "pinned:app:org.example.Editor", "pinned:spacer:1",
                          "pinned:folder:/home/u/Projects", "divider:trailing",
                          "trailing:folder:/home/u/Downloads", "trailing:trash"));
  EXPECT_EQ(tile("system:finder"),
            (Tile{"system:finder",
                  AppTile{"com.apple.finder", "Finder", Url::fileURL("/apps/files.desktop"), {}},
                  TileSection::pinned}));
  EXPECT_EQ(tile("pinned:app:org.example.Editor").app()->displayName, "Editor");
  EXPECT_THAT(store->runningBundleIDs(), IsEmpty());
}

TEST_F(TileStoreTest, RunningApplicationsFollowLaunchOrderOnce) {
  pinned({PinnedApp{"org.example.Absent", {}}, PinnedApp{"org.example.Editor", {}},
          PinnedApp{"org.example.Zed", {}}});
  workspace.addApplication(10, "org.example.Late", "Late", 300);
  workspace.addApplication(11, "org.example.Editor", "Editor", 100);
  workspace.addApplication(12, "com.apple.finder", "Files", 50);
  workspace.addApplication(13, "org.example.Early", "Early", 200);
  workspace.addApplication(14, "org.example.Undated", "", std::nullopt).localizedName.reset();
  workspace.addApplication(15, "org.example.Early", "Early", 250);  // a second instance
  workspace.addApplication(16, "com.orrin.quayline", "Quayline", 10);
  workspace.addApplication(17, "", "No identifier", 10).bundleIdentifier.reset();
  workspace.addApplication(18, "org.example.Agent", "Agent", 10).activationPolicy =
      ActivationPolicy::accessory;
  workspace.frontmostPid = 13;

  start();

  EXPECT_THAT(section(TileSection::pinned),
              ElementsAre("pinned:app:org.example.Absent", "pinned:app:org.example.Editor",
                          "pinned:app:org.example.Zed"));
  EXPECT_THAT(section(TileSection::running),
              ElementsAre("running:org.example.Undated", "running:org.example.Early",
                          "running:org.example.Late"));
  EXPECT_EQ(ids()[4], "divider:running");
  EXPECT_EQ(tile("running:org.example.Undated").app()->displayName, "org.example.Undated");
  EXPECT_EQ(
      tile("running:org.example.Early"),
      (Tile{"running:org.example.Early",
            AppTile{
                "org.example.Early", "Early", Url::fileURL("/apps/org.example.Early.desktop"), {}},
            TileSection::running}));
  EXPECT_EQ(
      store->runningBundleIDs(),
      (std::set<std::string>{"com.apple.finder", "com.orrin.quayline", "org.example.Early",
                             "org.example.Editor", "org.example.Late", "org.example.Undated"}));
  EXPECT_EQ(store->activeBundleID(), "org.example.Early");
}

TEST_F(TileStoreTest, HiddenAppsLeaveTheRunningSectionButNotThePinnedOne) {
  pinned({PinnedApp{"org.example.Editor", {}}});
  workspace.addApplication(10, "org.example.Editor", "Editor", 1);
  workspace.addApplication(11, "org.example.Web", "Web", 2);
  start();

  hidden->hide("org.example.Web");
  hidden->hide("org.example.Editor");
  EXPECT_THAT(ids(), ElementsAre("system:finder", "pinned:app:org.example.Editor",
                                 "divider:trailing", "trailing:trash"));
  hidden->show("org.example.Web");
  EXPECT_THAT(section(TileSection::running), ElementsAre("running:org.example.Web"));
}

TEST_F(TileStoreTest, RebuildsOnItsTriggersAndPublishesOnlyChanges) {
  auto& tiles = start();
  int tileChanges = 0, runningChanges = 0, activeChanges = 0;
  Subscription a = tiles.observeTiles([&](const auto&) { ++tileChanges; });
  Subscription b = tiles.observeRunningBundleIDs([&](const auto&) { ++runningChanges; });
  Subscription c = tiles.observeActiveBundleID([&](const auto&) { ++activeChanges; });

  workspace.addApplication(10, "org.example.Web", "Web", 1);
  workspace.notify(Kind::willLaunchApplication);
  workspace.notify(Kind::activeSpaceDidChange);
  EXPECT_EQ(tileChanges, 0);
  workspace.notify(Kind::didLaunchApplication);
  EXPECT_THAT(section(TileSection::running), ElementsAre("running:org.example.Web"));
  EXPECT_EQ(tileChanges, 1);
  EXPECT_EQ(runningChanges, 1);
  EXPECT_EQ(activeChanges, 0);

  workspace.frontmostPid = 10;
  workspace.notify(Kind::didActivateApplication);
  EXPECT_EQ(activeChanges, 1);
  tiles.rebuild();
  tiles.rebuild();
  EXPECT_EQ(tileChanges, 1);
  EXPECT_EQ(runningChanges, 1);
  EXPECT_EQ(activeChanges, 1);

  // The browser's answers change silently; a window change or a profile reload brings them in.
  runChrome();
  tiles.rebuild();
  profiles.live = {"Default"};
  accessibility.addWindow(50, "New Tab - Chromium");
  scheduler.advance(WindowRegistry::refreshInterval);
  EXPECT_THAT(section(TileSection::running),
              ElementsAre("running:org.example.Web", "chrome-profile:Default"));
  profiles.setProfiles({FakeChromeProfiles::named("Default", "Work")});
  EXPECT_EQ(tile("chrome-profile:Default").chromeProfile()->displayName, "Work");
}

struct ChromeRowCase {
  std::string name;
  bool pinnedApp;
  std::vector<std::string> pinnedProfiles;
  std::vector<std::string> live;
  int unattributed;
  Ids pinnedIds;   // after the editor's own pin
  Ids runningIds;  // the browser's tiles in the running section
  std::optional<std::string> slot;
};

class ChromeRowTest : public TileStoreTest, public ::testing::WithParamInterface<ChromeRowCase> {};

TEST_P(ChromeRowTest, ShowsTheBrowserRowForEachCase) {
  const auto& row = GetParam();
  std::vector<PinnedItem> items{PinnedApp{"org.example.Editor", {}}};
  if (row.pinnedApp) {
    items.emplace_back(PinnedApp{kChrome, {}});
  }
  for (const auto& directory : row.pinnedProfiles) {
    items.emplace_back(PinnedChromeProfile{directory});
  }
  pinned(items);
  runChrome();
  profiles.live = row.live;
  profiles.unattributed.resize(static_cast<std::size_t>(row.unattributed));

  start();

  Ids expectedPinned{"pinned:app:org.example.Editor"};
  expectedPinned.insert(expectedPinned.end(), row.pinnedIds.begin(), row.pinnedIds.end());
  EXPECT_THAT(section(TileSection::pinned), ElementsAreArray(expectedPinned));
  EXPECT_THAT(section(TileSection::running), ElementsAreArray(row.runningIds));
  EXPECT_EQ(store->chromeSlotProfileDirectory(), row.slot);
}

// Short names keep the table readable: "C" is the pinned browser, "P1"/"P2" profiles.
const std::string C = "pinned:app:com.google.Chrome", S1 = "pinned:chrome-profile:P1",
                  S2 = "pinned:chrome-profile:P2", R1 = "chrome-profile:P1",
                  R2 = "chrome-profile:P2", Plain = "running:com.google.Chrome";

// clang-format off
INSTANTIATE_TEST_SUITE_P(TileStore, ChromeRowTest, ::testing::Values(
    //             name                         pinned  pinned profiles  live          stray  pinned ids   running ids  slot
    ChromeRowCase{"PinnedNothingLive",            true,  {},             {},           0,     {C},         {}},
    ChromeRowCase{"PinnedEveryLiveProfilePinned", true,  {"P1"},         {"P1"},       0,     {S1},        {}},
    ChromeRowCase{"PinnedAllPinnedStrayWindows",  true,  {"P1"},         {"P1"},       1,     {C, S1},     {}},
    ChromeRowCase{"PinnedTwoLive",                true,  {},             {"P1", "P2"}, 0,     {S1},        {R2},        "P1"},
    ChromeRowCase{"PinnedTwoLiveStrayWindows",    true,  {},             {"P1", "P2"}, 2,     {S1},        {R2, Plain}, "P1"},
    ChromeRowCase{"PinnedSecondProfilePinned",    true,  {"P2"},         {"P1", "P2"}, 0,     {S1, S2},    {},          "P1"},
    ChromeRowCase{"UnpinnedNothingLive",          false, {},             {},           0,     {},          {Plain}},
    ChromeRowCase{"UnpinnedLive",                 false, {},             {"P1"},       0,     {},          {R1}},
    ChromeRowCase{"UnpinnedLiveStrayWindows",     false, {},             {"P1"},       1,     {},          {R1, Plain}},
    ChromeRowCase{"UnpinnedProfilePinned",        false, {"P1"},         {"P1"},       0,     {S1},        {}}),
    [](const auto& testCase) { return testCase.param.name; });
// clang-format on

TEST_F(TileStoreTest, BrowserTilesCarryProfilesAndTheApplicationsName) {
  pinned({PinnedApp{kChrome, {}}});
  runChrome("Chromium Web Browser");
  profiles.setProfiles({FakeChromeProfiles::named("P1", "Personal")});
  profiles.live = {"P1", "Unknown"};
  profiles.unattributed.resize(1);
  start();

  EXPECT_EQ(tile("pinned:chrome-profile:P1"),
            (Tile{"pinned:chrome-profile:P1",
                  ChromeProfileTile::from(FakeChromeProfiles::named("P1", "Personal")),
                  TileSection::pinned}));
  EXPECT_EQ(tile("chrome-profile:Unknown"),
            (Tile{"chrome-profile:Unknown", ChromeProfileTile::placeholder("Unknown"),
                  TileSection::running}));
  EXPECT_EQ(
      tile("running:com.google.Chrome"),
      (Tile{
          "running:com.google.Chrome",
          AppTile{
              kChrome, "Chromium Web Browser", Url::fileURL("/apps/com.google.Chrome.desktop"), {}},
          TileSection::running}));

  workspace.running.back().localizedName.reset();
  store->rebuild();
  EXPECT_EQ(tile("running:com.google.Chrome").app()->displayName, "Google Chrome");
}

TEST_F(TileStoreTest, AProfileThatComesBackJoinsTheEnd) {
  runChrome();
  profiles.live = {"P1", "P2"};
  auto& tiles = start();
  EXPECT_THAT(section(TileSection::running), ElementsAre("chrome-profile:P1", "chrome-profile:P2"));

  profiles.live = {"P2"};
  tiles.rebuild();
  profiles.live = {"P1", "P2"};
  tiles.rebuild();
  EXPECT_THAT(section(TileSection::running), ElementsAre("chrome-profile:P2", "chrome-profile:P1"));

  // While the browser is not running nothing is live, so every profile starts afresh.
  instances.mainBrowser.reset();
  tiles.rebuild();
  instances.mainBrowser = 50;
  tiles.rebuild();
  EXPECT_THAT(section(TileSection::running), ElementsAre("chrome-profile:P1", "chrome-profile:P2"));
}

TEST_F(TileStoreTest, SecondaryInstancesGetTilesOfTheirOwn) {
  runChrome();
  profiles.live = {"P1"};
  instances.secondary = {{77, "/tmp/ms-playwright/x", "Playwright"}, {78, "/tmp/a", "A"}};
  start();

  EXPECT_THAT(section(TileSection::running),
              ElementsAre("chrome-profile:P1", "running:com.google.Chrome:77",
                          "running:com.google.Chrome:78"));
  EXPECT_EQ(
      tile("running:com.google.Chrome:77"),
      (Tile{"running:com.google.Chrome:77",
            AppTile{kChrome, "Playwright", Url::fileURL("/apps/com.google.Chrome.desktop"), 77},
            TileSection::running}));

  // Without a main browser only the instances remain; hiding the browser hides them too.
  instances.mainBrowser.reset();
  store->rebuild();
  EXPECT_THAT(section(TileSection::running),
              ElementsAre("running:com.google.Chrome:77", "running:com.google.Chrome:78"));
  hidden->hide(kChrome);
  EXPECT_THAT(section(TileSection::running), IsEmpty());
}

TEST_F(TileStoreTest, PinKeepsOneEntryPerKey) {
  pinned({PinnedApp{"a", {}}, PinnedApp{"b", {}}, PinnedApp{"c", {}}});
  auto& tiles = start();
  domains.clearWrites();

  tiles.pin(PinnedApp{"b", "/apps/b.desktop"}, TileSection::pinned, 0);
  EXPECT_THAT(domains.writes(PreferenceDomains::application), IsEmpty());

  tiles.pin(PinnedApp{"d", {}}, TileSection::pinned, 99);
  tiles.pin(PinnedSpacer{}, TileSection::running, 0);
  tiles.pin(PinnedSpacer{true}, TileSection::pinned, 1);
  tiles.pin(PinnedChromeProfile{"P1"}, TileSection::pinned, std::nullopt);
  tiles.pin(PinnedApp{"e", {}}, TileSection::trailing, 5);
  EXPECT_EQ(tiles.pins().pinned(),
            (std::vector<PinnedItem>{PinnedSpacer{}, PinnedSpacer{true}, PinnedApp{"a", {}},
                                     PinnedApp{"b", {}}, PinnedApp{"c", {}}, PinnedApp{"d", {}},
                                     PinnedChromeProfile{"P1"}}));
  EXPECT_EQ(section(TileSection::trailing), (Ids{"trailing:app:e", "trailing:trash"}));
  EXPECT_EQ(domains.writes(PreferenceDomains::application).size(), 5u);

  EXPECT_TRUE(tiles.isPinned("d"));
  EXPECT_FALSE(tiles.isPinned("e"));  // the trailing list does not count
  EXPECT_TRUE(tiles.isPinnedProfile("P1"));
  EXPECT_FALSE(tiles.isPinnedProfile("d"));
}

TEST_F(TileStoreTest, StoredIndexMapsTilesToTheirItems) {
  pinned({PinnedApp{"a", {}}, PinnedApp{kChrome, {}}, PinnedSpacer{}, PinnedFolder{"/f"}});
  trailing({PinnedFolder{"/t"}});
  runChrome();
  profiles.live = {"P1"};
  workspace.addApplication(10, "org.example.Web", "Web", 1);
  auto& tiles = start();

  const std::vector<std::pair<std::string, std::optional<std::size_t>>> expected = {
      {"system:finder", std::nullopt},
      {"pinned:app:a", 0},
      {"pinned:chrome-profile:P1", 1},  // the slot stands for the pinned browser
      {"pinned:spacer:1", 2},
      {"pinned:folder:/f", 3},
      {"divider:running", std::nullopt},
      {"running:org.example.Web", std::nullopt},
      {"divider:trailing", std::nullopt},
      {"trailing:folder:/t", 0},
      {"trailing:trash", std::nullopt}};
  for (const auto& [id, index] : expected) {
    EXPECT_EQ(tiles.storedIndex(tile(id)), index) << id;
  }
  // A tile the store did not make, and one whose stored item has changed, map to nothing.
  EXPECT_EQ(tiles.storedIndex({"pinned:folder:/elsewhere",
                               FolderTile{Url::fileURL("/e", true), "e"}, TileSection::pinned}),
            std::nullopt);
  tiles.pins().replace(
      {PinnedApp{"a", {}}, PinnedApp{kChrome, {}}, PinnedFolder{"/f"}, PinnedSpacer{}},
      TileSection::pinned);
  EXPECT_EQ(tiles.storedIndex(tile("pinned:spacer:1")), std::nullopt);
}

TEST_F(TileStoreTest, ItemsAfterAHiddenBrowserPinKeepTheirStoredIndex) {
  pinned(
      {PinnedApp{"a", {}}, PinnedApp{kChrome, {}}, PinnedChromeProfile{"P1"}, PinnedApp{"b", {}}});
  runChrome();
  profiles.live = {"P1"};  // every live profile pinned, no stray windows: the plain pin hides
  auto& tiles = start();
  ASSERT_THAT(section(TileSection::pinned),
              ElementsAre("pinned:app:a", "pinned:chrome-profile:P1", "pinned:app:b"));

  EXPECT_EQ(tiles.storedIndex(tile("pinned:app:a")), 0u);
  EXPECT_EQ(tiles.storedIndex(tile("pinned:chrome-profile:P1")), 2u);
  EXPECT_EQ(tiles.storedIndex(tile("pinned:app:b")), 3u);

  // Once the plain pin shows again, positions line up one-to-one.
  profiles.unattributed.resize(1);
  tiles.rebuild();
  EXPECT_EQ(tiles.storedIndex(tile("pinned:app:com.google.Chrome")), 1u);
  EXPECT_EQ(tiles.storedIndex(tile("pinned:app:b")), 3u);
}

}  // namespace
}  // namespace quayline
