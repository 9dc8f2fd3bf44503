#include "dock/DockDropHandler.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/FakeDockServices.h"
#include "fakes/FakeFileOperations.h"
#include "fakes/ManualSerialQueue.h"

namespace quayline {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Target = DockDropHandler::Target;
const std::string kChrome(kChromeBundleIdentifier);

Tile app(const std::string& id, TileSection section) {
  return {id, AppTile{id, id, {}, {}}, section};
}

// Tile size 48: a full slot is 50 points, a divider 24; the first tile starts at x = 2.
//   a 2–52 | b 52–102 | spacer 102–152 | running divider 152–176 | r 176–226 | P1 226–276 |
//   trailing divider 276–300 | folder 300–350 | Trash 350–400
std::vector<Tile> sampleRow() {
  return {app("pinned:app:a", TileSection::pinned),
          app("pinned:app:b", TileSection::pinned),
          {"pinned:spacer:2", SpacerTile{}, TileSection::pinned},
          {"divider:running", DividerTile{}, TileSection::running},
          app("running:r", TileSection::running),
          {"chrome-profile:P1", ChromeProfileTile::placeholder("P1"), TileSection::running},
          {"divider:trailing", DividerTile{}, TileSection::trailing},
          {"trailing:folder:/t", FolderTile{Url::fileURL("/t", true), "t"}, TileSection::trailing},
          {"trailing:trash", TrashTile{}, TileSection::trailing}};
}

DropGeometry geometryOf(std::vector<Tile> tiles) {
  return {std::move(tiles), DockLayout{48}, Rect(0, 0, 400, 69), std::nullopt};
}

class DockDropHandlerTest : public ::testing::Test, protected FakeDockServices {
 protected:
  DockDropHandlerTest() {
    disk.addApplication("/apps/x.desktop", "x");
    disk.addApplication("/apps/y.desktop", "y");
    disk.addFile("/d/1.txt");
    disk.addFile("/d/2.txt");
    disk.addFile("/d/3.txt");
    disk.addFolder("/d/F1");
    disk.addFolder("/d/F2");
  }

  // Drops onto the store's own tiles unless a test sets `geometry`.
  DockDropHandler& handler(const std::vector<PinnedItem>& pinned = {},
                           const std::vector<PinnedItem>& trailing = {}) {
    start(pinned, trailing);
    dropHandler = std::make_unique<DockDropHandler>(
        DockDropHandler::Services{*store, workspace, disk, fileQueue, scheduler, trash, log},
        [this] { return geometry ? *geometry : geometryOf(store->tiles()); });
    return *dropHandler;
  }

  DroppedFiles dropped(const std::vector<std::string>& dropPaths) {
    std::vector<Url> urls;
    for (const auto& path : dropPaths) {
      urls.push_back(path.starts_with("/") ? Url::fileURL(path) : *Url::parse(path));
    }
    return DroppedFiles(urls, disk);
  }

  // The x of a point `fraction` of the way into the store tile's slot.
  double xOf(std::string_view id, double fraction = 0.5) {
    double left = DockLayout::rowInset;
    for (const Tile& tile : store->tiles()) {
      const double width = DockLayout{48}.slotWidth(tile.content);
      if (tile.id == id) {
        return left + width * fraction;
      }
      left += width;
    }
    throw std::runtime_error("no tile " + std::string(id));
  }

  std::vector<PinnedItem> pinnedNow() const { return store->pins().pinned(); }

  FakeFileOperations disk;
  ManualSerialQueue fileQueue{"quayline.file-operations"};
  FakeTrashFeedback trash;
  std::optional<DropGeometry> geometry;
  std::unique_ptr<DockDropHandler> dropHandler;
};

TEST(DockDropTarget, OuterFifthsOfMovableSlotsAndDividersAreGaps) {
  const DropGeometry row = geometryOf(sampleRow());
  const auto tile = [&](std::size_t index) { return Target::onto(row.tiles[index]); };
  const struct {
    double x;
    Target expected;
  } cases[] = {
      {11, Target::gap(TileSection::pinned, 0)},     // 9 into a: under a fifth
      {27, tile(0)},                                 // a's middle
      {43, Target::gap(TileSection::pinned, 1)},     // 41 into a: past four fifths
      {61, Target::gap(TileSection::pinned, 1)},     // 9 into b
      {62, tile(1)},                                 // exactly a fifth into b
      {105, Target::gap(TileSection::pinned, 2)},    // a spacer's edge
      {127, tile(2)},                                // a spacer's middle
      {160, Target::gap(TileSection::running, 3)},   // the running divider
      {180, tile(4)},                                // running tiles have no gaps
      {230, tile(5)},                                // nor profiles in the running section
      {280, Target::gap(TileSection::trailing, 0)},  // the trailing divider
      {345, Target::gap(TileSection::trailing, 1)},  // 45 into the folder
      {352, tile(8)},                                // the Trash is all tile
      {500, Target::gap(TileSection::trailing, 1)},  // past the end
      {0, Target::gap(TileSection::trailing, 1)},    // before the first tile
  };
  for (const auto& row_case : cases) {
    EXPECT_EQ(DockDropHandler::target(row, row_case.x), row_case.expected) << "x " << row_case.x;
  }

  std::vector<Tile> withFinder = sampleRow();
  withFinder.insert(withFinder.begin(), {"system:finder", AppTile{"f", "Files", {}, {}}});
  EXPECT_EQ(DockDropHandler::target(geometryOf(withFinder), 4), Target::onto(withFinder[0]));
  EXPECT_EQ(DockDropHandler::target(geometryOf({}), 4), Target::gap(TileSection::pinned, 0));
  DropGeometry collapsed = row;
  collapsed.restingFrame = Rect(0, 0, 0, 69);
  EXPECT_EQ(DockDropHandler::target(collapsed, 27), Target::nowhere());
}

TEST(DockDropTarget, MagnifiedRowIsHitWhereItIsDrawn) {
  DropGeometry row = geometryOf(sampleRow());
  std::vector<double> widths;
  for (const Tile& tile : row.tiles) {
    widths.push_back(row.layout.slotWidth(tile.content));
  }
  // The wave centred on the Trash (resting centre 375, row x 373) at full strength.
  row.magnifiedRow = MagnifiedRow::layout(widths, {48, 373, 1});
  const MagnifiedRow::Slot& trash = row.magnifiedRow->slots.back();
  const double drawnTrashX = DockLayout::rowInset + trash.minX + 5;
  DropGeometry resting = row;
  resting.magnifiedRow.reset();
  ASSERT_NE(DockDropHandler::target(resting, drawnTrashX), Target::onto(row.tiles.back()));
  EXPECT_EQ(DockDropHandler::target(row, drawnTrashX), Target::onto(row.tiles.back()));
}

TEST_F(DockDropHandlerTest, OperationFollowsTheTable) {
  auto& drops = handler();
  geometry = geometryOf(sampleRow());
  const std::vector<std::string> documents{"/d/1.txt", "/d/2.txt"};
  const std::vector<std::string> applications{"/apps/x.desktop", "/apps/y.desktop"};
  const std::vector<std::string> mixed{"/apps/x.desktop", "/d/1.txt"};
  const std::vector<std::string> folders{"/d/F1", "/d/F2"};
  const std::vector<std::string> unknown{"/gone"};  // no directory flag: not a directory
  const struct {
    double x;
    std::vector<std::string> paths;
    DragOperation expected;
  } cases[] = {
      {27, documents, DragOperation::generic},
      {27, mixed, DragOperation::generic},
      {27, applications, DragOperation::link},
      {200, documents, DragOperation::generic},
      {200, applications, DragOperation::none},
      {250, documents, DragOperation::generic},
      {250, applications, DragOperation::none},
      {325, documents, DragOperation::move},
      {375, folders, DragOperation::move},
      {127, applications, DragOperation::link},
      {127, documents, DragOperation::none},
      {11, applications, DragOperation::link},
      {11, folders, DragOperation::none},
      {280, folders, DragOperation::link},
      {280, {"/d/F1", "/d/1.txt"}, DragOperation::none},
      {280, unknown, DragOperation::none},
      {160, applications, DragOperation::none},
      {27, {}, DragOperation::none},
      {27, {"https://example.org/"}, DragOperation::none},
  };
  for (const auto& row : cases) {
    EXPECT_EQ(drops.operation(dropped(row.paths), row.x), row.expected)
        << "x " << row.x << ", " << row.paths.size() << " files";
  }
}

TEST_F(DockDropHandlerTest, FactsAreReadOnceAndOnlyAsFarAsNeeded) {
  auto& drops = handler();
  geometry = geometryOf(sampleRow());
  std::vector<std::string> many(1000, "/d/1.txt");
  many.front() = "/apps/x.desktop";
  const DroppedFiles drag = dropped(many);
  for (int move = 0; move < 50; ++move) {
    EXPECT_EQ(drops.operation(drag, 11), DragOperation::none);
  }
  EXPECT_EQ(disk.factReads, 2);  // the application, then the first document decides
}

TEST(DragOperationNegotiation, OffersOnlyWhatTheSourceAllows) {
  using Op = DragOperation;
  const struct {
    Op wanted;
    DragOperationMask offered;
    Op expected;
  } cases[] = {
      {Op::move, Op::copy | Op::move, Op::move},    {Op::move, Op::copy | Op::link, Op::none},
      {Op::generic, Op::copy | Op::move, Op::copy}, {Op::generic, Op::link | Op::none, Op::link},
      {Op::generic, Op::move | Op::none, Op::none}, {Op::link, Op::copy | Op::none, Op::copy},
      {Op::link, Op::link | Op::move, Op::link},    {Op::none, Op::copy | Op::move, Op::none},
  };
  for (const auto& row : cases) {
    EXPECT_EQ(negotiatedOperation(row.wanted, row.offered), row.expected)
        << row.wanted << " offered " << row.offered;
  }
}

TEST_F(DockDropHandlerTest, TrashingRunsOffTheMainThreadAndStopsAtTheFirstFailure) {
  auto& drops = handler();
  disk.failing = {"/d/2.txt"};
  std::optional<bool> result;
  EXPECT_TRUE(drops.perform(dropped({"/d/1.txt", "/d/2.txt", "/d/3.txt"}), xOf("trailing:trash"),
                            [&](bool all) { result = all; }));
  EXPECT_THAT(disk.operations, IsEmpty());  // nothing moves on the main thread
  fileQueue.runAll();
  EXPECT_FALSE(result.has_value());  // the result hops back to the main thread
  scheduler.runPosted();
  EXPECT_THAT(disk.operations, ElementsAre("trash /d/1.txt"));
  EXPECT_EQ(result, false);
  EXPECT_EQ(trash.sounds, 0);
  EXPECT_EQ(trash.refreshes, 1);
  EXPECT_EQ(log.messagesIn("drop"),
            std::vector<std::string>{"trashing stopped at /d/2.txt: refused"});

  disk.failing.clear();
  drops.perform(dropped({"/d/3.txt"}), xOf("trailing:trash"), [&](bool all) { result = all; });
  fileQueue.runAll();
  scheduler.runPosted();
  EXPECT_EQ(result, true);
  EXPECT_EQ(trash.sounds, 1);
  EXPECT_EQ(trash.refreshes, 2);
}

TEST_F(DockDropHandlerTest, MovingIntoAFolderKeepsNamesAndStopsAtTheFirstFailure) {
  auto& drops = handler({}, {PinnedFolder{"/home/u/Inbox"}});
  disk.failing = {"/d/2.txt"};
  std::optional<bool> result;
  drops.perform(dropped({"/d/1.txt", "/d/2.txt", "/d/F1"}), xOf("trailing:folder:/home/u/Inbox"),
                [&](bool all) { result = all; });
  fileQueue.runAll();
  scheduler.runPosted();
  EXPECT_THAT(disk.operations, ElementsAre("move /d/1.txt -> /home/u/Inbox/1.txt"));
  EXPECT_EQ(result, false);
  EXPECT_EQ(trash.refreshes, 0);
}

TEST_F(DockDropHandlerTest, DocumentsOpenWithTheTilesApplicationAndReportTheLaunch) {
  workspace.installed.emplace("org.example.Editor", Url::fileURL("/apps/editor.desktop"));
  workspace.installed.emplace(kChrome, Url::fileURL("/apps/chromium.desktop"));
  auto& drops = handler({PinnedApp{"org.example.Editor", {}}, PinnedApp{"org.example.Gone", {}},
                         PinnedChromeProfile{"P1"}});
  const DroppedFiles documents = dropped({"/d/1.txt", "/apps/x.desktop"});

  EXPECT_TRUE(drops.perform(documents, xOf("pinned:app:org.example.Editor")));
  EXPECT_TRUE(drops.perform(documents, xOf("pinned:chrome-profile:P1")));
  EXPECT_EQ(workspace.requests.size(), 2u);
  EXPECT_EQ(workspace.requests[0].arguments,
            (std::vector<std::string>{"file:///apps/editor.desktop", "file:///d/1.txt",
                                      "file:///apps/x.desktop"}));
  EXPECT_EQ(workspace.requests[1].arguments.front(), "file:///apps/chromium.desktop");

  // No installed application, or a launch that fails: the drop failed.
  EXPECT_FALSE(drops.perform(documents, xOf("pinned:app:org.example.Gone")));
  workspace.failRequests = true;
  EXPECT_FALSE(drops.perform(documents, xOf("pinned:app:org.example.Editor")));
}

TEST_F(DockDropHandlerTest, ApplicationsArePinnedWhereTheyAreDropped) {
  disk.addApplication("/apps/z.desktop", "z");
  disk.known["/Downloads/evil.desktop"] = FileFacts{false, false, {}};
  auto& drops = handler({PinnedApp{"a", {}}, PinnedSpacer{}, PinnedApp{"b", {}}});
  // Onto b: before it, in order.
  EXPECT_TRUE(drops.perform(dropped({"/apps/x.desktop", "/apps/y.desktop"}), xOf("pinned:app:b")));
  EXPECT_EQ(pinnedNow(), (std::vector<PinnedItem>{
                             PinnedApp{"a", {}}, PinnedSpacer{}, PinnedApp{"x", "/apps/x.desktop"},
                             PinnedApp{"y", "/apps/y.desktop"}, PinnedApp{"b", {}}}));
  // Onto the spacer's middle: at its index. A file that is no installed application is skipped.
  EXPECT_TRUE(drops.perform(dropped({"/Downloads/evil.desktop", "/apps/z.desktop"}),
                            xOf("pinned:spacer:1")));
  EXPECT_EQ(pinnedNow()[2], PinnedItem(PinnedApp{"z", "/apps/z.desktop"}));
  EXPECT_EQ(pinnedNow().size(), 6u);
}

TEST_F(DockDropHandlerTest, FoldersArePinnedInTheTrailingGap) {
  auto& drops = handler({}, {PinnedFolder{"/t"}});
  EXPECT_TRUE(drops.perform(dropped({"/d/F1", "/d/1.txt"}), xOf("trailing:folder:/t", 0.1)));
  EXPECT_EQ(store->pins().trailing(),
            (std::vector<PinnedItem>{PinnedFolder{"/d/F1"}, PinnedFolder{"/t"}}));
  EXPECT_FALSE(drops.perform(dropped({"https://example.org/"}), xOf("trailing:trash")));
}

TEST_F(DockDropHandlerTest, PositionsStepOverTheHiddenBrowserPin) {
  workspace.addApplication(50, kChrome, "Chromium", 50);
  instances.mainBrowser = 50;
  profiles.live = {"P1"};  // every live profile pinned: the plain browser pin has no tile
  auto& drops = handler(
      {PinnedApp{"a", {}}, PinnedApp{kChrome, {}}, PinnedChromeProfile{"P1"}, PinnedApp{"b", {}}});
  // The gap before b is its stored place, behind the hidden pin.
  EXPECT_TRUE(drops.perform(dropped({"/apps/x.desktop"}), xOf("pinned:app:b", 0.1)));
  EXPECT_EQ(pinnedNow(), (std::vector<PinnedItem>{
                             PinnedApp{"a", {}}, PinnedApp{kChrome, {}}, PinnedChromeProfile{"P1"},
                             PinnedApp{"x", "/apps/x.desktop"}, PinnedApp{"b", {}}}));

  // Tiles the store no longer stands behind map to nothing: the drop is refused.
  std::vector<Tile> stale = store->tiles();
  stale[1] = app("pinned:app:stale", TileSection::pinned);
  geometry = geometryOf(stale);
  EXPECT_FALSE(drops.perform(dropped({"/apps/y.desktop"}), xOf("pinned:app:a", 0.1)));
  EXPECT_EQ(pinnedNow().size(), 5u);
}

}  // namespace
}  // namespace quayline
