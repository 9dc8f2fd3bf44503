#include "dock/ChromeProfileTileActions.h"

#include <gtest/gtest.h>

#include "dock/TileActionFakes.h"
#include "dock/TileInteraction.h"

namespace quayline {
namespace {

using Titles = std::vector<std::string>;

constexpr ProcessId kBrowser = 100;
const std::string kChrome(kChromeBundleIdentifier);

// The browser, installed as Chromium, with two profiles, "Work" (Default) and "Home" (Profile
// 1), both live; their windows are the test's.
struct ProfileDock {
  explicit ProfileDock(const std::vector<PinnedItem>& pinned = {}) {
    fakes.workspace.installed.emplace(kChrome, Url::fileURL("/apps/chromium.desktop"));
    fakes.profiles.product = "Chromium";
    fakes.profiles.setProfiles({FakeChromeProfiles::named("Default", "Work"),
                                FakeChromeProfiles::named("Profile 1", "Home")});
    fakes.profiles.live = {"Default", "Profile 1"};
    fakes.start(pinned);
  }

  void runBrowser(bool hidden = false) {
    fakes.workspace.addApplication(kBrowser, kChrome, "Chromium").isHidden = hidden;
    fakes.instances.mainBrowser = kBrowser;
    fakes.refresh();
  }

  // A window of the profile; with `closable` its close button is an element of its own.
  void addWindow(const std::string& directory, const std::string& title, bool minimized = false,
                 bool closable = true) {
    auto node = fakes.accessibility.addWindow(kBrowser, title);
    if (closable) {
      auto button = std::make_shared<FakeAccessibility::Node>();
      button->name = title + " close";
      node->attributes.insert_or_assign(std::string(AX::closeButton), AXElement(button));
    }
    AppWindow window;
    window.pid = kBrowser;
    window.bundleIdentifier = kChrome;
    window.title = title;
    window.isMinimized = minimized;
    window.element = node;
    fakes.profiles.windowsByProfile[directory].push_back(window);
  }

  TileInteraction interaction() { return TileInteraction(*fakes.services); }
  Menu menu(const Tile& tile) { return interaction().menu(tile, std::nullopt); }
  Menu menu(std::string_view id) { return menu(fakes.tile(id)); }

  TileActionFakes fakes;
};

using Requests = std::vector<FakeWorkspace::Request>;
const std::string kBrowserPid = std::to_string(kBrowser);

TEST(ChromeProfileTileActions, ClickRaisesThePreferredWindowOrOpensOne) {
  ProfileDock dock;
  dock.runBrowser();
  dock.addWindow("Default", "Mail", true);
  dock.addWindow("Default", "News");

  dock.interaction().click(dock.fakes.tile("chrome-profile:Default"), std::nullopt);
  EXPECT_EQ(dock.fakes.accessibilityRequests(), (Titles{"Mail:AXMinimized=false", "Mail:AXRaise"}));
  EXPECT_EQ(dock.fakes.workspace.requests, (Requests{{"activate", {kBrowserPid}}}));
  EXPECT_TRUE(dock.fakes.profiles.openedFor.empty());

  // Without a window the profile gets a new one, and nothing is raised.
  dock.fakes.accessibility.writes.clear();
  dock.fakes.accessibility.actions.clear();
  dock.interaction().click(dock.fakes.tile("chrome-profile:Profile 1"), std::nullopt);
  EXPECT_EQ(dock.fakes.profiles.openedFor, (Titles{"Profile 1"}));
  EXPECT_TRUE(dock.fakes.accessibilityRequests().empty());
}

TEST(ChromeProfileTileActions, MenuShapes) {
  const std::string options = "Options \u25B8 ";
  const std::string reveal = "Show in Finder";
  const Titles windows = {"Mail", "\u25C7 News", "-"};
  struct Row {
    const char* name;
    std::vector<PinnedItem> pinned;
    enum { none, shown, hidden } browser;
    bool windows;
    std::string tile;
    Titles menu;  // after "New Window in This Profile", "-" and the windows
  };
  const std::vector<Row> rows = {
      // Without the main browser the store has no profile tile; a row drawn before it noticed
      // still has one.
      {"no main browser",
       {},
       Row::none,
       false,
       "chrome-profile:Default",
       {options + "Keep in Dock, " + reveal}},
      {"windows",
       {},
       Row::shown,
       true,
       "chrome-profile:Default",
       {options + "Keep in Dock, " + reveal, "-", "Hide Chromium", "Quit Work"}},
      {"hidden browser, no windows",
       {},
       Row::hidden,
       false,
       "chrome-profile:Profile 1",
       {options + "Keep in Dock, " + reveal, "-", "Show Chromium"}},
      {"pinned profile",
       {PinnedChromeProfile{"Default"}},
       Row::shown,
       true,
       "pinned:chrome-profile:Default",
       {options + "Remove from Dock, " + reveal, "-", "Hide Chromium", "Quit Work"}},
      {"stand-in for the pinned browser",
       {PinnedApp{kChrome, std::nullopt}},
       Row::shown,
       false,
       "pinned:chrome-profile:Default",
       {options + "Keep in Dock, Remove Chromium from Dock, " + reveal, "-", "Hide Chromium"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ProfileDock dock(row.pinned);
    if (row.browser != Row::none) {
      dock.runBrowser(row.browser == Row::hidden);
    }
    Titles expected = {"New Window in This Profile", "-"};
    if (row.windows) {
      dock.addWindow("Default", "Mail");
      dock.addWindow("Default", "News", true);
      expected.insert(expected.end(), windows.begin(), windows.end());
    }
    expected.insert(expected.end(), row.menu.begin(), row.menu.end());
    const Tile tile =
        row.browser == Row::none
            ? Tile{row.tile, dock.fakes.store->profileTile("Default"), TileSection::running}
            : dock.fakes.tile(row.tile);
    EXPECT_EQ(menuTitles(dock.menu(tile)), expected);
  }

  // A main browser the workspace does not know: no hiding, no quitting.
  ProfileDock dock;
  dock.runBrowser();
  dock.addWindow("Default", "Mail");
  dock.fakes.workspace.running.clear();
  EXPECT_EQ(menuTitles(dock.menu("chrome-profile:Default")).back(),
            options + "Keep in Dock, " + reveal);
}

TEST(ChromeProfileTileActions, QuitClosesTheProfilesWindowsLastToFirst) {
  ProfileDock dock;
  dock.runBrowser();
  dock.addWindow("Default", "One");
  dock.addWindow("Default", "Two");
  dock.addWindow("Default", "No button", false, false);
  dock.addWindow("Default", "Three");
  const Menu items = dock.menu("chrome-profile:Default");

  menuEntry(items, "Quit Work").action();
  EXPECT_EQ(dock.fakes.accessibilityRequests(),
            (Titles{"Three close:AXPress", "Two close:AXPress", "One close:AXPress"}));
  EXPECT_TRUE(dock.fakes.workspace.requests.empty()) << "the browser keeps running";

  menuEntry(items, "Two").action();
  EXPECT_EQ(dock.fakes.accessibilityRequests().back(), "Two:AXRaise");
  menuEntry(items, "Hide Chromium").action();
  menuEntry(items, "Show in Finder").action();
  menuEntry(items, "New Window in This Profile").action();
  EXPECT_EQ(dock.fakes.workspace.requests,
            (Requests{{"activate", {kBrowserPid}},
                      {"hide", {kBrowserPid}},
                      {"reveal", {"file:///apps/chromium.desktop"}}}));
  EXPECT_EQ(dock.fakes.profiles.openedFor, (Titles{"Default"}));
}

TEST(ChromeProfileTileActions, KeepingAndRemovingProfiles) {
  const PinnedItem browser = PinnedApp{kChrome, std::nullopt};
  const PinnedItem folder = PinnedFolder{"/home/docs"};
  const PinnedItem other = PinnedFolder{"/home/music"};
  ProfileDock dock({folder, browser, other});
  dock.runBrowser();
  const auto pinned = [&] { return dock.fakes.store->pins().pinned(); };

  // The profile in the pinned browser's place is kept where it stands, before the browser.
  menuEntry(dock.menu("pinned:chrome-profile:Default"), "Keep in Dock").action();
  EXPECT_EQ(pinned(),
            (std::vector<PinnedItem>{folder, PinnedChromeProfile{"Default"}, browser, other}));

  // The next profile takes the browser's place; removing the browser removes its entry only.
  menuEntry(dock.menu("pinned:chrome-profile:Profile 1"), "Remove Chromium from Dock").action();
  EXPECT_EQ(pinned(), (std::vector<PinnedItem>{folder, PinnedChromeProfile{"Default"}, other}));

  // A profile of the running section goes to the end; a kept one can be removed again.
  menuEntry(dock.menu("chrome-profile:Profile 1"), "Keep in Dock").action();
  menuEntry(dock.menu("pinned:chrome-profile:Default"), "Remove from Dock").action();
  EXPECT_EQ(pinned(), (std::vector<PinnedItem>{folder, other, PinnedChromeProfile{"Profile 1"}}));

  // The next run's store reads the kept profile back from the settings.
  dock.fakes.build();
  EXPECT_EQ(pinned(), (std::vector<PinnedItem>{folder, other, PinnedChromeProfile{"Profile 1"}}));
  EXPECT_TRUE(dock.fakes.store->isPinnedProfile("Profile 1"));
}

}  // namespace
}  // namespace quayline
