#include "app/StatusMenu.h"

#include <gtest/gtest.h>

#include "app/Preferences.h"
#include "fakes/FakeApplicationAppearance.h"
#include "fakes/FakeLoginItem.h"
#include "fakes/FakePreferenceDomains.h"

namespace quayline {
namespace {

class StatusMenuTest : public ::testing::Test {
 protected:
  StatusMenu::Entry find(const std::vector<StatusMenu::Entry>& entries, const std::string& title) {
    for (const auto& entry : entries) {
      if (entry.title == title) {
        return entry;
      }
    }
    throw std::runtime_error("no entry " + title);
  }
  std::vector<std::string> checkedAppearances() {
    std::vector<std::string> checked;
    for (const auto& entry : find(StatusMenu::entries(preferences), "Appearance").submenu) {
      if (entry.checked) {
        checked.push_back(entry.title);
      }
    }
    return checked;
  }

  FakePreferenceDomains domains;
  FakeLoginItem loginItem;
  FakeApplicationAppearance appearance;
  Preferences preferences{domains, loginItem, appearance};
};

TEST_F(StatusMenuTest, EntriesInOrderWithKeys) {
  std::vector<std::string> titles;
  std::vector<std::string> keys;
  for (const auto& entry : StatusMenu::entries(preferences)) {
    titles.push_back(entry.separator ? "-" : entry.title);
    keys.push_back(entry.keyEquivalent);
  }
  EXPECT_EQ(titles, (std::vector<std::string>{"Window Previews", "-", "Appearance", "Dock Actions…",
                                              "Window Switcher", "-", "Settings…",
                                              "Check for Updates…", "Quit Quayline"}));
  EXPECT_EQ(keys, (std::vector<std::string>{"", "", "", "", "", "", ",", "", "q"}));
  const auto appearanceEntries = find(StatusMenu::entries(preferences), "Appearance").submenu;
  ASSERT_EQ(appearanceEntries.size(), 3u);
  EXPECT_EQ(appearanceEntries[0].title, "Match System");
  EXPECT_EQ(appearanceEntries[1].representedObject, "light");
  EXPECT_EQ(appearanceEntries[2].representedObject, "dark");
}

TEST_F(StatusMenuTest, TogglesAndCheckMarksFollowTheSettings) {
  EXPECT_TRUE(find(StatusMenu::entries(preferences), "Window Previews").checked);
  EXPECT_EQ(
      StatusMenu::choose(find(StatusMenu::entries(preferences), "Window Previews"), preferences),
      StatusMenu::Action::none);
  EXPECT_FALSE(preferences.windowPreviewsEnabled());
  EXPECT_FALSE(find(StatusMenu::entries(preferences), "Window Previews").checked);

  StatusMenu::choose(find(StatusMenu::entries(preferences), "Window Switcher"), preferences);
  EXPECT_FALSE(preferences.windowSwitcherEnabled());
  EXPECT_FALSE(find(StatusMenu::entries(preferences), "Window Switcher").checked);

  EXPECT_EQ(checkedAppearances(), std::vector<std::string>{"Match System"});
  auto dark = find(StatusMenu::entries(preferences), "Appearance").submenu[2];
  StatusMenu::choose(dark, preferences);
  EXPECT_EQ(preferences.appearanceMode(), AppearanceMode::dark);
  EXPECT_EQ(checkedAppearances(), std::vector<std::string>{"Dark"});

  // A represented object that is no appearance is ignored.
  dark.representedObject = "Dark";
  StatusMenu::choose(dark, preferences);
  dark.representedObject.reset();
  StatusMenu::choose(dark, preferences);
  EXPECT_EQ(preferences.appearanceMode(), AppearanceMode::dark);
}

TEST_F(StatusMenuTest, WindowUpdateAndQuitActionsAreLeftToTheShell) {
  const auto entries = StatusMenu::entries(preferences);
  EXPECT_EQ(StatusMenu::choose(find(entries, "Quit Quayline"), preferences),
            StatusMenu::Action::quit);
  EXPECT_EQ(StatusMenu::choose(find(entries, "Settings…"), preferences),
            StatusMenu::Action::openSettings);
  EXPECT_EQ(StatusMenu::choose(find(entries, "Dock Actions…"), preferences),
            StatusMenu::Action::openDockActions);
  EXPECT_EQ(StatusMenu::choose(find(entries, "Check for Updates…"), preferences),
            StatusMenu::Action::checkForUpdates);
}

}  // namespace
}  // namespace quayline
