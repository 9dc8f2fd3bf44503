#include "model/PinnedRow.h"

#include <gtest/gtest.h>

#include "fakes/FakeFileManager.h"

namespace quayline {
namespace {

std::vector<std::string> ids(const std::vector<Tile>& tiles) {
  std::vector<std::string> result;
  for (const auto& tile : tiles) {
    result.push_back(tile.id);
  }
  return result;
}

class PinnedRowTiles : public ::testing::Test {
 protected:
  std::vector<Tile> convert(const std::vector<PinnedItem>& items,
                            TileSection section = TileSection::pinned,
                            std::optional<PinnedRow::ChromeSlot> slot = std::nullopt,
                            std::optional<std::string> hidden = std::nullopt) {
    return PinnedRow::tiles(items, section, slot, hidden, ChromeProfileTile::placeholder, files);
  }
  FakeFileManager files;
};

TEST_F(PinnedRowTiles, IdentifiersFollowTheSchemeAndSpacersCountPerList) {
  const std::vector<PinnedItem> items{PinnedSpacer{false}, PinnedApp{"com.example.A", {}},
                                      PinnedFolder{"/home/u/Docs"}, PinnedSpacer{true},
                                      PinnedChromeProfile{"Profile 2"}};
  EXPECT_EQ(ids(convert(items)),
            (std::vector<std::string>{"pinned:spacer:1", "pinned:app:com.example.A",
                                      "pinned:folder:/home/u/Docs", "pinned:spacer:2",
                                      "pinned:chrome-profile:Profile 2"}));
  const auto trailing = convert({PinnedSpacer{false}}, TileSection::trailing);
  EXPECT_EQ(ids(trailing), std::vector<std::string>{"trailing:spacer:1"});
  EXPECT_EQ(trailing[0].section, TileSection::trailing);
}

TEST_F(PinnedRowTiles, ApplicationLabels) {
  files.names["/apps/a.desktop"] = "Alpha.app";
  files.names["/apps/b.desktop"] = "Beta";
  files.names["/apps/c.desktop"] = ".app";
  const auto tiles = convert({PinnedApp{"a", "/apps/a.desktop"}, PinnedApp{"b", "/apps/b.desktop"},
                              PinnedApp{"c", "/apps/c.desktop"}, PinnedApp{"d", std::nullopt}});
  ASSERT_EQ(tiles.size(), 4u);
  EXPECT_EQ(tiles[0].app()->displayName, "Alpha");
  EXPECT_EQ(tiles[0].app()->url, Url::fileURL("/apps/a.desktop"));
  EXPECT_EQ(tiles[1].app()->displayName, "Beta");
  EXPECT_EQ(tiles[2].app()->displayName, "c");
  EXPECT_EQ(tiles[3].app()->displayName, "d");
  EXPECT_FALSE(tiles[3].app()->url);
  EXPECT_FALSE(tiles[3].app()->processIdentifier);
}

TEST_F(PinnedRowTiles, FoldersAreDirectoryURLsWhosePathReadsBack) {
  files.names["/home/u/My Docs"] = "My Docs";
  const auto tiles = convert({PinnedFolder{"/home/u/My Docs"}});
  ASSERT_EQ(tiles.size(), 1u);
  EXPECT_EQ(tiles[0].folder()->url.absoluteString(), "file:///home/u/My%20Docs/");
  EXPECT_EQ(tiles[0].folder()->url.path(), "/home/u/My Docs");
  EXPECT_TRUE(PinnedRow::item(PinnedFolder{"/home/u/My Docs"}, tiles[0]));
}

TEST_F(PinnedRowTiles, ChromeSlotReplacesTheAppAndHiddenAppsVanish) {
  const Tile slotTile{"pinned:chrome-profile:Default", ChromeProfileTile::placeholder("Default"),
                      TileSection::pinned};
  const std::vector<PinnedItem> items{PinnedApp{"com.google.Chrome", {}}, PinnedApp{"hid", {}},
                                      PinnedApp{"shown", {}}};
  const auto tiles = convert(items, TileSection::trailing,
                             PinnedRow::ChromeSlot{"com.google.Chrome", slotTile}, "hid");
  ASSERT_EQ(tiles.size(), 2u);
  EXPECT_EQ(tiles[0], slotTile);  // keeps its own id and section
  EXPECT_EQ(tiles[1].id, "trailing:app:shown");
}

TEST_F(PinnedRowTiles, UnknownProfilesBecomePlaceholders) {
  const auto tiles = convert({PinnedChromeProfile{"Profile 9"}});
  const auto* profile = tiles.at(0).chromeProfile();
  ASSERT_NE(profile, nullptr);
  EXPECT_EQ(profile->displayName, "Profile 9");
  EXPECT_EQ(profile->initial, "?");
  EXPECT_EQ(profile->bundleIdentifier, "com.google.Chrome");
  EXPECT_FALSE(profile->avatarURL);
}

TEST(ChromeProfileTileFrom, LabelAndInitial) {
  ChromeProfile profile;
  profile.directory = "Profile 1";
  profile.email = "émile@example.com";
  auto tile = ChromeProfileTile::from(profile);
  EXPECT_EQ(tile.displayName, "émile@example.com");
  EXPECT_EQ(tile.initial, "É");

  profile.name = "   ";
  tile = ChromeProfileTile::from(profile);
  EXPECT_EQ(tile.displayName, "   ");
  EXPECT_EQ(tile.initial, "?");

  profile.name = " straße";
  EXPECT_EQ(ChromeProfileTile::from(profile).initial, "S");
}

TEST(PinnedRowItem, MatchesStoredItemsToTiles) {
  const Tile app{"pinned:app:a", AppTile{"a", "A", {}, {}}, TileSection::pinned};
  const Tile chrome{"pinned:chrome-profile:Default", ChromeProfileTile::placeholder("Default"),
                    TileSection::pinned};
  const Tile spacer{"pinned:spacer:3", SpacerTile{true}, TileSection::pinned};
  const Tile folder{"pinned:folder:/f", FolderTile{Url::fileURL("/f", true), "f"},
                    TileSection::pinned};
  EXPECT_TRUE(PinnedRow::item(PinnedApp{"a", "/elsewhere"}, app));
  EXPECT_FALSE(PinnedRow::item(PinnedApp{"b", {}}, app));
  EXPECT_TRUE(PinnedRow::item(PinnedApp{"com.google.Chrome", {}}, chrome));
  EXPECT_FALSE(PinnedRow::item(PinnedApp{"a", {}}, chrome));
  EXPECT_TRUE(PinnedRow::item(PinnedChromeProfile{"Default"}, chrome));
  EXPECT_FALSE(PinnedRow::item(PinnedChromeProfile{"Other"}, chrome));
  EXPECT_TRUE(PinnedRow::item(PinnedSpacer{false}, spacer));
  EXPECT_TRUE(PinnedRow::item(PinnedFolder{"/f"}, folder));
  EXPECT_FALSE(PinnedRow::item(PinnedFolder{"/f"}, spacer));
}

TEST(PinnedRowReorderable, KeepsOnlyStoredTilesOfTheSection) {
  const std::vector<Tile> tiles{
      {"system:finder", AppTile{"com.apple.finder", "Files", {}, {}}, TileSection::pinned},
      {"pinned:app:a", AppTile{"a", "A", {}, {}}, TileSection::pinned},
      {"divider:running", DividerTile{}, TileSection::running},
      {"running:b", AppTile{"b", "B", {}, {}}, TileSection::running},
      {"divider:trailing", DividerTile{}, TileSection::trailing},
      {"trailing:spacer:1", SpacerTile{}, TileSection::trailing},
      {"trailing:trash", TrashTile{}, TileSection::trailing},
  };
  EXPECT_EQ(ids(PinnedRow::reorderable(tiles, TileSection::pinned)),
            std::vector<std::string>{"pinned:app:a"});
  EXPECT_EQ(ids(PinnedRow::reorderable(tiles, TileSection::trailing)),
            std::vector<std::string>{"trailing:spacer:1"});
  EXPECT_TRUE(PinnedRow::reorderable(tiles, TileSection::running).empty());
}

TEST(PinnedRowLists, DeduplicationKeepsTheFirstOccurrence) {
  const std::vector<PinnedItem> items{
      PinnedApp{"a", "/first"},  PinnedSpacer{},           PinnedFolder{"/f"},
      PinnedApp{"a", "/second"}, PinnedSpacer{},           PinnedFolder{"/f"},
      PinnedChromeProfile{"P"},  PinnedChromeProfile{"P"}, PinnedSpacer{true}};
  EXPECT_EQ(
      PinnedRow::deduplicated(items),
      (std::vector<PinnedItem>{PinnedApp{"a", "/first"}, PinnedSpacer{}, PinnedFolder{"/f"},
                               PinnedSpacer{}, PinnedChromeProfile{"P"}, PinnedSpacer{true}}));
}

TEST(PinnedRowLists, Moved) {
  const std::vector<PinnedItem> abc{PinnedFolder{"A"}, PinnedFolder{"B"}, PinnedFolder{"C"}};
  EXPECT_EQ(PinnedRow::moved(abc, 0, 2),
            (std::vector<PinnedItem>{PinnedFolder{"B"}, PinnedFolder{"C"}, PinnedFolder{"A"}}));
  EXPECT_EQ(PinnedRow::moved(abc, 2, 0),
            (std::vector<PinnedItem>{PinnedFolder{"C"}, PinnedFolder{"A"}, PinnedFolder{"B"}}));
  EXPECT_EQ(PinnedRow::moved(abc, 1, 1), abc);
  EXPECT_EQ(PinnedRow::moved(abc, -1, 1), abc);
  EXPECT_EQ(PinnedRow::moved(abc, 0, 3), abc);
}

TEST(PinnedRowLists, DropIndex) {
  const std::vector<double> widths{50, 50, 50};
  EXPECT_EQ(PinnedRow::dropIndex(widths, 0, 60), 1);
  EXPECT_EQ(PinnedRow::dropIndex(widths, 0, 0), 0);
  EXPECT_EQ(PinnedRow::dropIndex(widths, 0, -1000), 0);
  EXPECT_EQ(PinnedRow::dropIndex(widths, 0, 1000), 2);
  EXPECT_EQ(PinnedRow::dropIndex(widths, 2, -60), 1);
  EXPECT_EQ(PinnedRow::dropIndex(widths, 1, 25), 1);  // a tie goes to the smaller slot
  EXPECT_EQ(PinnedRow::dropIndex(widths, 5, 10), 5);
  EXPECT_EQ(PinnedRow::dropIndex({30, 90, 30}, 0, 70), 1);
  EXPECT_EQ(PinnedRow::dropIndex({}, 0, 0), 0);
}

}  // namespace
}  // namespace quayline
