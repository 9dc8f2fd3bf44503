#include "stacks/FolderStackController.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "dock/FolderTileActions.h"
#include "dock/MenuModel.h"
#include "fakes/FakeDisplays.h"
#include "fakes/FakeDockServices.h"
#include "fakes/FakePointerMotion.h"
#include "fakes/FakePreferenceDomains.h"
#include "fakes/FakeScheduler.h"
#include "fakes/FakeWorkspace.h"
#include "fakes/ManualSerialQueue.h"
#include "foundation/Signal.h"
#include "platform/FolderListing.h"
#include "platform/KeyInterception.h"
#include "stacks/FolderStackListing.h"
#include "stacks/FolderStackPanel.h"
#include "stacks/FolderStackPlacement.h"

namespace quayline {
namespace {

class MemoryFolderListing final : public FolderListing {
 public:
  FolderContents list(const std::string& folderPath) override {
    const auto found = folders.find(folderPath);
    return found != folders.end() ? found->second
                                  : FolderContents{{}, FolderContents::Failure::notFound};
  }
  std::vector<std::string> iconNames(const FolderEntry& entry) override {
    return {entry.isDirectory ? "folder" : "text-x-generic"};
  }
  std::map<std::string, FolderContents> folders;
};

class FakeKeyInterception final : public KeyInterception {
 public:
  Subscription interceptEscape(std::function<void()> pressed) override {
    return escape_.connect([pressed = std::move(pressed)] { pressed(); });
  }
  void pressEscape() { escape_.emit(); }
  std::size_t holders() const { return escape_.connectionCount(); }

 private:
  Signal<> escape_;
};

class RecordingPanel final : public FolderStackPanel {
 public:
  void setEvents(Events events) override { events_ = std::move(events); }
  Size setContent(const FolderStackContent& content) override {
    shown.push_back(content);
    return size;
  }
  void orderFront(Point at) override {
    origin = at;
    visible = true;
  }
  void orderOut() override { visible = false; }
  bool isVisible() const override { return visible; }
  bool pointerIsOverOwnWindow() const override { return pointerOverOwnWindow; }

  void open(std::size_t index) { events_.open(shown.back().items.at(index)); }
  void openFolder() { events_.openFolder(); }

  std::vector<FolderStackContent> shown;
  Size size{460, 300};
  Point origin;
  bool visible = false;
  bool pointerOverOwnWindow = false;

 private:
  Events events_;
};

FolderTile folderTile(const std::string& path) {
  return {Url::fileURL(path, true), path.substr(path.rfind('/') + 1)};
}

class FolderStackControllerTest : public testing::Test {
 protected:
  FolderStackControllerTest() {
    listing.folders["/home/u/Downloads"] = {
        {{"/home/u/Downloads/b.txt", "b.txt", false}, {"/home/u/Downloads/a", "a", true}}, {}};
    listing.folders["/home/u/Documents"] = {{{"/home/u/Documents/c.txt", "c.txt", false}}, {}};
  }

  // Runs the listing on its queue and its presentation on the main thread.
  void finishListing() {
    queue.runAll();
    scheduler.runPosted();
  }

  const Rect anchor{700, 4, 64, 64};
  FakeScheduler scheduler;
  ManualSerialQueue queue{std::string(FolderStackController::queueLabel)};
  MemoryFolderListing listing;
  FakePreferenceDomains domains;
  FolderStackStyles styles{domains};
  FakeWorkspace workspace;
  FakeDisplays displays;
  FakePointerMotion pointer;
  FakeKeyInterception keys;
  RecordingPanel panel;
  FolderStackController stacks{
      {scheduler, queue, listing, styles, workspace, displays, pointer, keys, panel}};
  const FolderTile downloads = folderTile("/home/u/Downloads");
  const FolderTile documents = folderTile("/home/u/Documents");
};

TEST_F(FolderStackControllerTest, ShowsTheListingAboveTheTileAndTogglesPerFolder) {
  stacks.toggle(downloads, anchor, 1);
  EXPECT_FALSE(panel.visible) << "shown before its listing";
  finishListing();
  ASSERT_TRUE(panel.visible);
  const FolderStackContent& content = panel.shown.back();
  EXPECT_EQ(content.folderName, "Downloads");
  ASSERT_EQ(content.items.size(), 2u);
  EXPECT_EQ(content.items[0].name, "a") << "directories first";
  EXPECT_EQ(content.items[0].url, Url::fileURL("/home/u/Downloads/a", true));
  EXPECT_EQ(content.style, FolderStackStyle::grid);
  EXPECT_EQ(content.scale, 2);
  EXPECT_EQ(panel.origin, (Point{700 + 32 - 230, 4 + 64 + 10}));

  // Another folder re-presents in place; the same one again closes.
  stacks.toggle(documents, anchor, 1);
  finishListing();
  EXPECT_TRUE(panel.visible);
  EXPECT_EQ(panel.shown.back().folderName, "Documents");
  stacks.toggle(documents, anchor, 1);
  EXPECT_FALSE(panel.visible);
  EXPECT_FALSE(stacks.openFolderPath());
}

TEST_F(FolderStackControllerTest, PresentsOnlyTheNewestListingAndNoneAfterAHide) {
  stacks.show(downloads, anchor, 1);
  stacks.show(documents, anchor, 1);
  finishListing();
  ASSERT_EQ(panel.shown.size(), 1u);
  EXPECT_EQ(panel.shown.back().folderName, "Documents");

  stacks.hide();
  stacks.show(downloads, anchor, 1);
  stacks.hide();
  finishListing();
  EXPECT_FALSE(panel.visible);
  EXPECT_EQ(panel.shown.size(), 1u);
}

TEST_F(FolderStackControllerTest, ClosesOnOutsideClicksEscapeScreenAndDesktopChanges) {
  const std::vector<std::pair<std::string, std::function<void()>>> dismissals{
      {"outside click", [&] { pointer.pressed(PointerMotion::Press::mouseButton); }},
      {"escape", [&] { keys.pressEscape(); }},
      {"screen change", [&] { displays.screensChanged(); }},
      {"desktop change",
       [&] { workspace.notify(WorkspaceNotification::Kind::activeSpaceDidChange); }},
      {"opening an item", [&] { panel.open(0); }},
      {"opening the folder", [&] { panel.openFolder(); }},
  };
  for (const auto& [name, dismiss] : dismissals) {
    stacks.show(downloads, anchor, 1);
    finishListing();
    ASSERT_TRUE(panel.visible) << name;
    // A reload keeps one set of monitors.
    stacks.setStyle(FolderStackStyle::grid, "/home/u/Downloads");
    finishListing();
    EXPECT_EQ(pointer.pressObservers(), 1u) << name;
    EXPECT_EQ(keys.holders(), 1u) << name;
    // A click in the dock or the stack itself is theirs.
    panel.pointerOverOwnWindow = true;
    pointer.pressed(PointerMotion::Press::mouseButton);
    EXPECT_TRUE(panel.visible) << name;
    panel.pointerOverOwnWindow = false;

    dismiss();
    EXPECT_FALSE(panel.visible) << name;
    EXPECT_EQ(pointer.pressObservers(), 0u) << name;
    EXPECT_EQ(keys.holders(), 0u) << name;
  }
  EXPECT_EQ(workspace.requests,
            (std::vector<FakeWorkspace::Request>{{"openURL", {"file:///home/u/Downloads/a/"}},
                                                 {"openURL", {"file:///home/u/Downloads/"}}}));
}

TEST_F(FolderStackControllerTest, StylesAreStoredPerFolderAndReshowTheOpenOne) {
  stacks.show(downloads, anchor, 1);
  finishListing();
  stacks.setStyle(FolderStackStyle::list, "/home/u/Documents");
  EXPECT_TRUE(queue.tasks.empty()) << "another folder's style reloads nothing";
  stacks.setStyle(FolderStackStyle::list, "/home/u/Downloads");
  finishListing();
  EXPECT_EQ(panel.shown.back().style, FolderStackStyle::list);
  EXPECT_EQ(stacks.style("/home/u/Elsewhere"), FolderStackStyle::grid);

  // Anything but "list" is a grid; a map spoilt by another type keeps its strings when set.
  domains.seed(
      PreferenceDomains::application, FolderStackStyles::key,
      PropertyValue(PropertyValue::Dictionary{
          {"/a", PropertyValue("list")}, {"/b", PropertyValue(3)}, {"/c", PropertyValue("LIST")}}));
  EXPECT_EQ(styles.style("/a"), FolderStackStyle::grid);
  styles.setStyle(FolderStackStyle::list, "/d");
  EXPECT_EQ(styles.style("/a"), FolderStackStyle::list);
  EXPECT_EQ(styles.style("/c"), FolderStackStyle::grid);
  EXPECT_EQ(styles.style("/d"), FolderStackStyle::list);
}

TEST_F(FolderStackControllerTest, AFolderThatCannotBeReadStillOpensWithItsReason) {
  listing.folders["/home/u/Private"] = {{}, FolderContents::Failure::notAllowed};
  const std::vector<std::pair<std::string, std::string>> cases{{"/home/u/Private", "permission"},
                                                               {"/home/u/Gone", "can't be found"}};
  for (const auto& [path, words] : cases) {
    stacks.show(folderTile(path), anchor, 1);
    finishListing();
    ASSERT_TRUE(panel.visible) << path;
    EXPECT_TRUE(panel.shown.back().items.empty());
    ASSERT_TRUE(panel.shown.back().readError) << path;
    EXPECT_NE(panel.shown.back().readError->find(words), std::string::npos)
        << *panel.shown.back().readError;
  }
}

TEST(FolderStackPlacement, StaysInsideTheVisibleFrame) {
  const Rect visible(0, 25, 1440, 875);
  const struct {
    const char* name;
    Rect anchor;
    Size size;
    Point origin;
  } cases[] = {
      {"centred above", {700, 30, 64, 64}, {460, 300}, {502, 104}},
      {"near the left edge", {4, 30, 64, 64}, {460, 300}, {8, 104}},
      {"near the right edge", {1400, 30, 64, 64}, {460, 300}, {1440 - 460 - 8, 104}},
      {"tall", {700, 30, 64, 64}, {460, 860}, {502, 900 - 860 - 8}},
      {"wider than the screen", {700, 30, 64, 64}, {1500, 300}, {1440 - 1500 - 8, 104}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FolderStackPlacement::origin(c.anchor, c.size, visible), c.origin) << c.name;
  }
}

TEST_F(FolderStackControllerTest, TheFolderTileOpensItsStackAndOffersItsMenu) {
  const Tile tile{"pinned:folder:/home/u/Downloads", downloads, TileSection::pinned};
  FolderTileActions actions(stacks, workspace, tile);
  // Never laid out, or with Alt: the folder itself opens.
  actions.click(Rect(), 1, false);
  actions.click(anchor, 1, true);
  EXPECT_EQ(workspace.requests.size(), 2u);
  EXPECT_TRUE(queue.tasks.empty());
  actions.click(anchor, 1, false);
  finishListing();
  EXPECT_TRUE(panel.visible);

  stacks.setStyle(FolderStackStyle::list, "/home/u/Downloads");
  finishListing();
  FakeDockServices dock;
  dock.start({PinnedFolder{"/home/u/Downloads"}});
  const auto pinned = [&] {
    const auto& tiles = dock.store->tiles();
    return std::any_of(tiles.begin(), tiles.end(),
                       [&](const Tile& each) { return each.id == tile.id; });
  };
  ASSERT_TRUE(pinned());
  const Menu menu = actions.menu(*dock.store);
  EXPECT_EQ(menuTitles(menu),
            (std::vector<std::string>{"Open \u201CDownloads\u201D", "-",
                                      "View as \u25B8 Grid, \u2713 List", "-", "Remove from Dock",
                                      "-", "Options \u25B8 Show in Finder"}));
  menu[0].action();
  EXPECT_FALSE(panel.visible);
  menu[2].children[0].action();
  EXPECT_EQ(stacks.style("/home/u/Downloads"), FolderStackStyle::grid);
  menu[4].action();
  EXPECT_FALSE(pinned());
}

}  // namespace
}  // namespace quayline
