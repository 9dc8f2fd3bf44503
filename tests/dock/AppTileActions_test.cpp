#include "dock/AppTileActions.h"

#include <gtest/gtest.h>

#include "dock/TileActionFakes.h"
#include "dock/TileInteraction.h"
#include "dock/TileMenu.h"

namespace quayline {
namespace {

using Requests = std::vector<FakeWorkspace::Request>;
using Titles = std::vector<std::string>;

}  // namespace

void PrintTo(const FakeWorkspace::Request& request, std::ostream* out) {
  *out << request.operation;
  for (const std::string& argument : request.arguments) {
    *out << " " << argument;
  }
}

namespace {

class AppTileActionsTest : public ::testing::Test, protected TileActionFakes {
 protected:
  AppTileActionsTest() {
    displays.list = {Screen{1, Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 900), 1},
                     Screen{2, Rect(1440, 0, 1440, 900), Rect(1440, 0, 1440, 900), 1}};
    start();
  }

  FakeAccessibility::NodePtr window(ProcessId pid, const std::string& title, Rect frame,
                                    bool minimized = false, bool main = false) {
    auto node = fakes.accessibility.addWindow(pid, title, frame);
    node->attributes.insert_or_assign("AXMinimized", minimized);
    node->attributes.insert_or_assign("AXMain", main);
    return node;
  }

  static Tile appTile(std::string bundle, TileSection section = TileSection::pinned,
                      std::optional<ProcessIdentifier> pid = {}) {
    AppTile app{bundle, bundle, Url::fileURL("/apps/" + bundle + ".desktop"), pid};
    const std::string kind = section == TileSection::running ? "" : "app:";
    return Tile{sectionPrefix(section) + kind + bundle, app, section};
  }

  AppTileActions actions(const Tile& tile, std::optional<DisplayNumber> display = {}) {
    return AppTileActions(*services, tile, display);
  }

  void click(const Tile& tile, std::optional<DisplayNumber> display = {}) {
    fakes.refresh();
    fakes.workspace.requests.clear();
    fakes.accessibility.actions.clear();
    fakes.accessibility.writes.clear();
    actions(tile, display).activate();
  }

  Menu menu(const Tile& tile) {
    fakes.refresh();
    return TileInteraction(*services).menu(tile, std::nullopt);
  }

  TileActionFakes& fakes = *this;
};

TEST_F(AppTileActionsTest, ClickLaunchesOrBringsForwardByWhatRuns) {
  // Nothing runs: the tile's own location is opened.
  click(appTile("mail"));
  EXPECT_EQ(fakes.workspace.requests, (Requests{{"open", {"file:///apps/mail.desktop"}}}));

  // Running with a visible window: the application comes forward, no window is raised.
  fakes.workspace.addApplication(10, "mail", "Mail");
  window(10, "Inbox", Rect(10, 10, 800, 600));
  window(10, "Draft", Rect(20, 20, 400, 300), true);
  click(appTile("mail"));
  EXPECT_EQ(fakes.workspace.requests, (Requests{{"activate", {"10"}}}));
  EXPECT_TRUE(accessibilityRequests().empty());

  // Running without any window it reports: opened again so it can show one.
  fakes.workspace.addApplication(20, "notes", "Notes");
  click(appTile("notes"));
  EXPECT_EQ(fakes.workspace.requests, (Requests{{"open", {"file:///apps/notes.desktop"}}}));
}

TEST_F(AppTileActionsTest, AllMinimizedBringsBackOnlyTheFirstWindow) {
  fakes.workspace.addApplication(10, "mail", "Mail");
  window(10, "One", Rect(10, 10, 800, 600), true);
  window(10, "Two", Rect(20, 20, 800, 600), true);
  click(appTile("mail"));
  EXPECT_EQ(accessibilityRequests(), (Titles{"One:AXMinimized=false", "One:AXRaise"}));
  EXPECT_EQ(fakes.workspace.requests, (Requests{{"activate", {"10"}}, {"activate", {"10"}}}));
}

TEST_F(AppTileActionsTest, ProcessBoundTiles) {
  // Its process is gone: a new instance is started from the tile's location.
  click(appTile("term", TileSection::running, 77));
  EXPECT_EQ(fakes.workspace.requests, (Requests{{"open", {"file:///apps/term.desktop"}}}));

  // Its process runs without windows: that process, not another instance, comes forward.
  fakes.workspace.addApplication(30, "term", "Term");
  fakes.workspace.addApplication(31, "term", "Term");
  window(30, "Other instance", Rect(0, 0, 800, 600));
  click(appTile("term", TileSection::running, 31));
  EXPECT_EQ(fakes.workspace.requests, (Requests{{"activate", {"31"}}}));
}

TEST_F(AppTileActionsTest, BrowserWithoutMainProcessLaunches) {
  fakes.workspace.installed.emplace(kChromeBundleIdentifier,
                                    Url::fileURL("/apps/chromium.desktop"));
  AppTile app{std::string(kChromeBundleIdentifier), "Chromium", std::nullopt, std::nullopt};
  click(Tile{"pinned:chrome", app, TileSection::pinned});
  EXPECT_EQ(fakes.workspace.requests, (Requests{{"open", {"file:///apps/chromium.desktop"}}}));

  // Neither a location nor an installed application: nothing happens.
  app.bundleIdentifier = "gone";
  click(Tile{"pinned:gone", app, TileSection::pinned});
  EXPECT_TRUE(fakes.workspace.requests.empty());
}

TEST_F(AppTileActionsTest, DisplayBoundClickPrefersWindowsOnItsDisplay) {
  fakes.workspace.addApplication(10, "mail", "Mail");
  window(10, "Left", Rect(100, 100, 800, 600));
  window(10, "Right hidden", Rect(1500, 100, 800, 600), true);
  window(10, "Right", Rect(1600, 100, 800, 600));

  click(appTile("mail"), 2);
  EXPECT_EQ(accessibilityRequests(), (Titles{"Right:AXRaise"}));
  EXPECT_EQ(fakes.workspace.requests, (Requests{{"activate", {"10"}}, {"activate", {"10"}}}));

  // A display without any of its windows falls through to the usual steps.
  fakes.displays.list.push_back(Screen{3, Rect(2880, 0, 800, 600), Rect(2880, 0, 800, 600), 1});
  click(appTile("mail"), 3);
  EXPECT_TRUE(accessibilityRequests().empty());
  EXPECT_EQ(fakes.workspace.requests, (Requests{{"activate", {"10"}}}));
}

TEST_F(AppTileActionsTest, ClickOnTheFrontmostApplicationFollowsTheSetting) {
  fakes.workspace.addApplication(10, "mail", "Mail");
  fakes.workspace.frontmostPid = 10;
  auto one = window(10, "One", Rect(10, 10, 800, 600));
  auto two = window(10, "Two", Rect(20, 20, 800, 600), false, true);
  window(10, "Three", Rect(30, 30, 800, 600), true);

  click(appTile("mail"));
  EXPECT_EQ(fakes.workspace.requests, (Requests{{"activate", {"10"}}})) << "does nothing";

  fakes.preferences.setFrontmostClickBehavior(FrontmostClickBehavior::hidesApp);
  click(appTile("mail"));
  EXPECT_EQ(fakes.workspace.requests, (Requests{{"hide", {"10"}}}));

  // The window after the main one among the shown windows, wrapping round.
  fakes.preferences.setFrontmostClickBehavior(FrontmostClickBehavior::switchesWindows);
  click(appTile("mail"));
  EXPECT_EQ(accessibilityRequests(), (Titles{"One:AXRaise"}));

  fakes.preferences.setFrontmostClickBehavior(FrontmostClickBehavior::minimizesAllWindows);
  click(appTile("mail"));
  EXPECT_EQ(accessibilityRequests(), (Titles{"One:AXMinimized=true", "Two:AXMinimized=true"}));
  EXPECT_TRUE(fakes.workspace.requests.empty());

  // With every window minimized the click brings the first back, as it always does.
  click(appTile("mail"));
  EXPECT_EQ(accessibilityRequests(), (Titles{"One:AXMinimized=false", "One:AXRaise"}));

  // Not in front, the click does what it always does.
  one->attributes.insert_or_assign("AXMinimized", false);
  two->attributes.insert_or_assign("AXMinimized", false);
  fakes.workspace.frontmostPid = 99;
  click(appTile("mail"));
  EXPECT_EQ(fakes.workspace.requests, (Requests{{"activate", {"10"}}}));
}

TEST(TileMenuTitle, ShortensLongTitlesByCharacters) {
  const auto title = [](std::string text, bool minimized = false) {
    AppWindow window;
    window.title = std::move(text);
    window.isMinimized = minimized;
    return TileMenu::title(window);
  };
  EXPECT_EQ(title(""), "Untitled");
  EXPECT_EQ(title("", true), "\u25C7 Untitled");

  // Sixty characters whose last space within the first 48 is the 41st: cut at the space.
  const std::string late = std::string(40, 'a') + " " + std::string(19, 'b');
  EXPECT_EQ(title(late), std::string(40, 'a') + "\u2026");
  // A space 17 characters before the end of the kept part is too early to cut at.
  const std::string early = std::string(30, 'a') + " " + std::string(29, 'b');
  EXPECT_EQ(title(early), early.substr(0, 48) + "\u2026");
  // The boundary: the space 11 characters before the end (the 37th) is still a cut.
  EXPECT_EQ(title(std::string(36, 'a') + " " + std::string(20, 'b')),
            std::string(36, 'a') + "\u2026");
  EXPECT_EQ(title(std::string(35, 'a') + " " + std::string(20, 'b')),
            std::string(35, 'a') + " " + std::string(12, 'b') + "\u2026");

  // 48 characters stay whole; counting is by characters, not bytes or code points.
  const std::string accented = "e\u0301";  // one character, two code points
  std::string fortyEight;
  for (int i = 0; i < 48; ++i) {
    fortyEight += accented;
  }
  EXPECT_EQ(title(fortyEight), fortyEight);
  EXPECT_EQ(title(fortyEight + "\u00E9"), fortyEight + "\u2026");
  std::string wide;
  for (int i = 0; i < 60; ++i) {
    wide += "\u6F22";
  }
  EXPECT_EQ(title(wide, true), "\u25C7 " + wide.substr(0, 48 * 3) + "\u2026");
}

TEST_F(AppTileActionsTest, MenusByKindAndState) {
  start({PinnedItem{PinnedApp{"mail", "/apps/mail.desktop"}}, PinnedItem{PinnedSpacer{}}});
  fakes.workspace.addApplication(10, "mail", "Mail");
  fakes.workspace.addApplication(11, "com.apple.finder", "Files");
  window(10, std::string(50, 'x'), Rect(10, 10, 800, 600), true);
  recent.items = {AppRecentItem{"report.txt", "/home/report.txt", nullptr}};

  EXPECT_EQ(menuTitles(menu(appTile("mail"))),
            (Titles{"report.txt", "-", "\u25C7 " + std::string(48, 'x') + "\u2026", "-",
                    "Options \u25B8 Remove from Dock, Show in Finder", "-", "Show All Windows",
                    "Hide", "Quit"}));
  EXPECT_EQ(menuTitles(menu(appTile("mail", TileSection::running))),
            (Titles{"report.txt", "-", "\u25C7 " + std::string(48, 'x') + "\u2026", "-",
                    "Options \u25B8 Remove from Dock, Hide from Dock, Show in Finder", "-",
                    "Show All Windows", "Hide", "Quit"}));

  // Not running: no recent documents are asked for, and it can only be opened.
  recent.asked.clear();
  EXPECT_EQ(menuTitles(menu(appTile("calendar"))),
            (Titles{"Options \u25B8 Keep in Dock, Show in Finder", "-", "Open"}));
  EXPECT_TRUE(recent.asked.empty());

  // The Finder can be hidden but neither configured nor quit.
  recent.items.clear();
  AppTile finder{"com.apple.finder", "Finder", std::nullopt, std::nullopt};
  EXPECT_EQ(menuTitles(menu(Tile{"system:finder", finder, TileSection::pinned})),
            (Titles{"Show All Windows", "Hide"}));

  fakes.workspace.running[0].isHidden = true;
  EXPECT_EQ(menuTitles(menu(appTile("mail"))).back(), "Quit");
  EXPECT_EQ(menuTitles(menu(appTile("mail"))).at(5), "Show");

  EXPECT_EQ(menuTitles(menu(fakes.tile("pinned:spacer:1"))), (Titles{"Remove from Dock"}));
}

TEST_F(AppTileActionsTest, MenuItemsDoWhatTheySay) {
  start({PinnedItem{PinnedApp{"mail", "/apps/mail.desktop"}}, PinnedItem{PinnedSpacer{}}});
  fakes.workspace.addApplication(10, "mail", "Mail");
  fakes.workspace.addApplication(12, "mail", "Mail");
  fakes.workspace.addApplication(20, "notes", "Notes");
  fakes.workspace.addApplication(30, "todo", "Todo");
  window(10, "One", Rect(10, 10, 800, 600), true);
  window(12, "Two", Rect(20, 20, 800, 600), true);
  recent.items = {AppRecentItem{"report.txt", std::nullopt, nullptr}};
  fakes.refresh();

  const Menu mail = menu(appTile("mail"));
  menuEntry(mail, "report.txt").action();
  EXPECT_EQ(recent.opened, (Titles{"report.txt with /apps/mail.desktop"}));

  fakes.workspace.requests.clear();
  menuEntry(mail, "Show All Windows").action();
  EXPECT_EQ(accessibilityRequests(), (Titles{"One:AXMinimized=false", "Two:AXMinimized=false",
                                             "One:AXRaise", "Two:AXRaise"}));
  EXPECT_EQ(fakes.workspace.requests,
            (Requests{{"unhide", {"10"}}, {"activate", {"10"}}, {"activate", {"12"}}}));

  fakes.workspace.requests.clear();
  menuEntry(mail, "Hide").action();
  menuEntry(mail, "Quit").action();
  EXPECT_EQ(
      fakes.workspace.requests,
      (Requests{{"hide", {"10"}}, {"hide", {"12"}}, {"terminate", {"10"}}, {"terminate", {"12"}}}));

  menuEntry(mail, "Show in Finder").action();
  EXPECT_EQ(fakes.workspace.requests.back(),
            (FakeWorkspace::Request{"reveal", {"file:///apps/mail.desktop"}}));

  // Keeping appends to the pinned list; removing takes the stored entry out again.
  menuEntry(menu(appTile("notes", TileSection::running)), "Keep in Dock").action();
  EXPECT_TRUE(fakes.store->isPinned("notes"));
  EXPECT_EQ(fakes.store->pins().pinned().back(),
            (PinnedItem{PinnedApp{"notes", "/apps/notes.desktop"}}));
  menuEntry(menu(fakes.tile("pinned:app:mail")), "Remove from Dock").action();
  EXPECT_FALSE(fakes.store->isPinned("mail"));

  menuEntry(menu(fakes.tile("pinned:spacer:1")), "Remove from Dock").action();
  EXPECT_EQ(fakes.store->pins().pinned(),
            (std::vector<PinnedItem>{PinnedApp{"notes", "/apps/notes.desktop"}}));

  menuEntry(menu(fakes.tile("running:todo")), "Hide from Dock").action();
  EXPECT_TRUE(fakes.hidden->contains("todo"));
}

TEST_F(AppTileActionsTest, TrashTileOpensAndEmptiesOnlyAfterConfirmation) {
  const Tile trashTile{"trailing:trash", TrashTile{}, TileSection::trailing};
  TileInteraction interaction(*services);
  interaction.click(trashTile, std::nullopt);
  EXPECT_EQ(trash.opened, 1);

  // Empty: "Empty Trash…" shows but cannot be chosen.
  Menu menu = interaction.menu(trashTile, std::nullopt);
  EXPECT_EQ(menuTitles(menu), (Titles{"Open", "Empty Trash…"}));
  EXPECT_FALSE(menuEntry(menu, "Empty Trash…").enabled);
  menuEntry(menu, "Open").action();
  EXPECT_EQ(trash.opened, 2);

  trash.full = true;
  menu = interaction.menu(trashTile, std::nullopt);
  ASSERT_TRUE(menuEntry(menu, "Empty Trash…").enabled);
  // Cancel (the default) erases nothing; only the confirming answer does.
  menuEntry(menu, "Empty Trash…").action();
  EXPECT_EQ(confirmations.asked.size(), 1u);
  EXPECT_EQ(confirmations.asked.front().confirmTitle, "Empty Trash");
  EXPECT_EQ(trash.emptied, 0);
  confirmations.answer = true;
  menuEntry(menu, "Empty Trash…").action();
  EXPECT_EQ(trash.emptied, 1);
}

}  // namespace
}  // namespace quayline
