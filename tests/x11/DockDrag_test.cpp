// Dragging tiles of the real dock: a pinned tile dragged one slot along changes places, one
// lifted out of the dock is removed, and a running application dragged into the pinned section
// is pinned there — each kept in the stored lists, so a restarted dock shows the same row.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/RunningDock.h"
#include "support/X11Environment.h"

namespace quayline::x11test {
namespace {

std::vector<std::string> pinnedIds(const RunningDock& dock) {
  std::vector<std::string> ids;
  for (const ListedTile& tile : dock.tiles()) {
    if (tile.section == "pinned" && tile.id != "system:finder") {
      ids.push_back(tile.id);
    }
  }
  return ids;
}

TEST(DockDrag, ReorderRemoveAndPinAreStored) {
  const auto root = X11Environment::instance().root();
  const std::string first = (root / "First").string();
  const std::string second = (root / "Second").string();
  std::filesystem::create_directories(first);
  std::filesystem::create_directories(second);
  const InstalledEntry entry("org.quayline.Shade.desktop",
                             clientEntry("Shade", "--class shade,Shade", "Shade"));
  TestClient client({"--title", "Shade", "--class", "shade,Shade"});
  const std::vector<std::string> folders{"pinned:folder:" + first, "pinned:folder:" + second};
  {
    RunningDock dock({.pinned = std::vector<PinnedItem>{PinnedFolder{first}, PinnedFolder{second}},
                      .trailing = std::vector<PinnedItem>{}});
    ASSERT_TRUE(dock.started()) << dock.logText();
    ASSERT_TRUE(waitUntil([&] { return dock.tile("running:org.quayline.Shade").has_value(); }));
    const auto slot = dock.tileCentre(folders[0]);
    const auto next = dock.tileCentre(folders[1]);
    ASSERT_TRUE(slot && next) << dock.describeRow();

    dock.dragFrom(slot->first, slot->second, next->first - slot->first, 0);
    EXPECT_TRUE(waitUntil([&] {
      return pinnedIds(dock) == std::vector<std::string>{folders[1], folders[0]};
    })) << dock.describeRow();

    // Lifted 80 points above the dock: removed.
    auto lifted = dock.tileCentre(folders[0]);
    ASSERT_TRUE(waitUntil([&] { return (lifted = dock.tileCentre(folders[0])).has_value(); }))
        << dock.describeRow();
    dock.dragFrom(lifted->first, lifted->second, 0, -80);
    EXPECT_TRUE(waitUntil([&] { return pinnedIds(dock) == std::vector<std::string>{folders[1]}; }))
        << dock.describeRow();

    // The running application dragged to the far left, before the remaining folder.
    const auto running = dock.tileCentre("running:org.quayline.Shade");
    const auto target = dock.tileCentre(folders[1]);
    ASSERT_TRUE(running && target) << dock.describeRow();
    dock.dragFrom(running->first, running->second, target->first - running->first - 30, 0);
    EXPECT_TRUE(waitUntil([&] {
      return pinnedIds(dock) ==
             std::vector<std::string>{"pinned:app:org.quayline.Shade", folders[1]};
    })) << dock.describeRow();
  }
  // A new start reads the same row.
  RunningDock again;
  ASSERT_TRUE(again.started()) << again.logText();
  EXPECT_EQ(pinnedIds(again),
            (std::vector<std::string>{"pinned:app:org.quayline.Shade", folders[1]}));
}

}  // namespace
}  // namespace quayline::x11test
