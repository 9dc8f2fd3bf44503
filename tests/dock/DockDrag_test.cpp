#include <gtest/gtest.h>

#include "dock/DockDragCommit.h"
#include "dock/DockDragController.h"
#include "fakes/FakeDockServices.h"

namespace quayline {
namespace {

using Kind = DockDragController::Outcome::Kind;

Tile app(const std::string& name, TileSection section) {
  const std::string prefix = section == TileSection::running ? "running:" : "pinned:app:";
  return Tile{prefix + name, AppTile{name, name, Url::fileURL("/apps/" + name + ".desktop"), {}},
              section};
}

// Three pinned tiles of 50 points (tile size 48), a divider and a running application.
class DockDragTest : public testing::Test {
 protected:
  DockDragTest() {
    controller.commit = [this](TileSection section, long from, long to) {
      commits.push_back({section == TileSection::pinned, from, to});
    };
  }

  std::vector<double> offsets() const {
    std::vector<double> result;
    for (const Tile& tile : tiles) {
      result.push_back(controller.offset(tile));
    }
    return result;
  }

  struct Commit {
    bool pinned;
    long from;
    long to;
    bool operator==(const Commit&) const = default;
  };
  FakeScheduler scheduler;
  DockDragController controller{scheduler};
  DockLayout layout{48};
  std::vector<Tile> tiles{app("a", TileSection::pinned), app("b", TileSection::pinned),
                          app("c", TileSection::pinned),
                          Tile{"divider:running", DividerTile{}, TileSection::running},
                          app("web", TileSection::running)};
  std::vector<Commit> commits;
};

TEST_F(DockDragTest, ReorderingLiftingAndClamping) {
  struct Case {
    Size translation;
    long target;
    std::vector<double> offsets;
    bool removes;
  };
  for (const Case& c : {Case{{60, 0}, 1, {60, -50, 0, 0, 0}, false},
                        {{60, -61}, 0, {60, -50, -50, 0, 0}, true},
                        {{60, -60}, 1, {60, -50, 0, 0, 0}, false},
                        {{-1000, 0}, 0, {0, 0, 0, 0, 0}, false},
                        {{1000, 0}, 2, {100, -50, -50, 0, 0}, false}}) {
    controller.update(tiles[0], c.translation, tiles, layout);
    ASSERT_TRUE(controller.isActive());
    EXPECT_EQ(controller.session()->target, c.target) << c.translation.width;
    EXPECT_EQ(offsets(), c.offsets) << c.translation.height;
    EXPECT_EQ(controller.wouldRemove(tiles[0]), c.removes);
    EXPECT_FALSE(controller.wouldRemove(tiles[1]));
    EXPECT_EQ(controller.lift(tiles[1]), 0);
    commits.clear();
    const auto outcome = controller.end();
    EXPECT_EQ(outcome.kind, c.removes ? Kind::remove : Kind::nothing);
    const std::vector<Commit> expected =
        c.target != 0 ? std::vector<Commit>{{true, 0, c.target}} : std::vector<Commit>{};
    EXPECT_EQ(commits, expected);
    EXPECT_FALSE(controller.isActive());
  }
  // Dividers, the Trash and fixed processes have no gesture.
  EXPECT_FALSE(DockDragController::canDrag(tiles[3]));
  Tile single = app("single", TileSection::running);
  std::get<AppTile>(single.content).processIdentifier = 7;
  EXPECT_FALSE(DockDragController::canDrag(single));
  EXPECT_TRUE(DockDragController::canDrag(tiles[4]));
}

TEST_F(DockDragTest, ARunningTilePinsWhereItIsDroppedAndOthersEaseAside) {
  // The running tile rests at 2 + 3 × 50 + 24 = 176; pinned centres at 27, 77, 127.
  controller.update(tiles[4], {-70, 0}, tiles, layout);  // centre 131: after all three
  EXPECT_EQ(controller.session()->pinTarget, 3);
  controller.update(tiles[4], {-80, -10}, tiles, layout);  // centre 121: before the third
  EXPECT_EQ(controller.session()->pinTarget, 2);
  EXPECT_EQ(offsets(), (std::vector<double>{0, 0, 50, 0, -80}));
  EXPECT_EQ(controller.lift(tiles[4]), 10);
  // The third tile eases aside over 0.18 s; the dragged one follows the pointer at once.
  scheduler.advance(0.09);
  EXPECT_NEAR(controller.displayedOffset(tiles[2]), 25, 0.01);
  EXPECT_EQ(controller.displayedOffset(tiles[4]), -80);
  EXPECT_TRUE(controller.isSettling());
  scheduler.advance(0.1);
  EXPECT_EQ(controller.displayedOffset(tiles[2]), 50);
  EXPECT_FALSE(controller.isSettling());
  EXPECT_EQ(controller.end(), (DockDragController::Outcome{Kind::pin, 2, "pinned:app:c"}));

  // Lifted 60 points or more: nothing is pinned.
  controller.update(tiles[4], {-80, -60}, tiles, layout);
  EXPECT_EQ(controller.session()->pinTarget, std::nullopt);
  EXPECT_EQ(controller.end().kind, Kind::nothing);
  // A new tile list ends a running drag without pinning.
  controller.update(tiles[4], {-80, 0}, tiles, layout);
  controller.reconcile(tiles);
  EXPECT_FALSE(controller.isActive());
}

// While the plain browser pin is hidden its stored item has no tile: positions on the row must
// be translated, or a move would shift the wrong stored item.
TEST(DockDragCommit, PositionsGoThroughTheStoreWhileTheBrowserPinIsHidden) {
  FakeDockServices fakes;
  const std::string chrome(kChromeBundleIdentifier);
  fakes.workspace.addApplication(50, chrome, "Chromium", 50);
  fakes.instances.mainBrowser = 50;
  fakes.profiles.live = {"P1"};
  fakes.start(
      {PinnedApp{"a", {}}, PinnedApp{chrome, {}}, PinnedChromeProfile{"P1"}, PinnedApp{"b", {}}});
  const auto stored = [&] { return fakes.store->pins().list(TileSection::pinned); };
  // Row: a, P1, b. Moving a after P1 puts it after P1's stored item, not after the hidden pin.
  ASSERT_TRUE(DockDragCommit::move(*fakes.store, TileSection::pinned, 0, 1));
  EXPECT_EQ(stored(), (std::vector<PinnedItem>{PinnedApp{chrome, {}}, PinnedChromeProfile{"P1"},
                                               PinnedApp{"a", {}}, PinnedApp{"b", {}}}));
  EXPECT_FALSE(DockDragCommit::move(*fakes.store, TileSection::pinned, 0, 7));

  // A running application pinned before b lands before b's stored item.
  fakes.workspace.addApplication(60, "org.example.Mail", "Mail");
  fakes.store->rebuild();
  DockDragCommit::apply(*fakes.store, {Kind::pin, 2, "pinned:app:b"},
                        fakes.tile("running:org.example.Mail"));
  EXPECT_EQ(stored()[3],
            PinnedItem(PinnedApp{"org.example.Mail", "/apps/org.example.Mail.desktop"}));
  DockDragCommit::apply(*fakes.store, {Kind::remove}, fakes.tile("pinned:app:a"));
  EXPECT_EQ(stored().size(), 4u);
  EXPECT_EQ(stored()[2],
            PinnedItem(PinnedApp{"org.example.Mail", "/apps/org.example.Mail.desktop"}));
}

}  // namespace
}  // namespace quayline
