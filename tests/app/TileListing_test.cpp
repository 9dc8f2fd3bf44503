#include "app/TileListing.h"

#include <gtest/gtest.h>

#include "foundation/Json.h"

namespace quayline {
namespace {

TEST(TileListingTest, StatesLabelsAndForms) {
  const std::vector<Tile> tiles{
      {"system:finder", AppTile{"com.apple.finder", "Files", {}, {}}, TileSection::pinned},
      {"pinned:chrome-profile:P", ChromeProfileTile::placeholder("P"), TileSection::pinned},
      {"divider:running", DividerTile{}, TileSection::running},
      {"running:org.example.Tab", AppTile{"org.example.Tab", "Tab\tbed\nname", {}, {}},
       TileSection::running},
      {"trailing:spacer:1", SpacerTile{true}, TileSection::trailing},
      {"trailing:trash", TrashTile{}, TileSection::trailing},
  };
  const auto entries =
      TileListing::entries(tiles, {"org.example.Tab", "com.google.Chrome"}, "org.example.Tab", {});
  EXPECT_EQ(TileListing::text(entries),
            "system:finder\tpinned\tFiles\t-\n"
            "pinned:chrome-profile:P\tpinned\tP\t-\n"
            "divider:running\trunning\tdivider\t-\n"
            "running:org.example.Tab\trunning\tTab bed name\tactive\n"
            "trailing:spacer:1\ttrailing\tsmall spacer\t-\n"
            "trailing:trash\ttrailing\tTrash\t-\n");
  EXPECT_TRUE(TileListing::entries(tiles, {}, {}, {"P"})[1].running);

  const auto parsed = parseJson(TileListing::json(entries));
  ASSERT_TRUE(parsed && parsed->is_array());
  EXPECT_EQ((*parsed)[3]["label"], "Tab\tbed\nname");
  EXPECT_EQ((*parsed)[3]["active"], true);
  EXPECT_EQ((*parsed)[0]["running"], false);
  EXPECT_EQ((*parsed)[5]["section"], "trailing");
}

}  // namespace
}  // namespace quayline
