#include "app/Preferences.h"

#include <gtest/gtest.h>

#include <limits>

#include "fakes/FakeApplicationAppearance.h"
#include "fakes/FakeLoginItem.h"
#include "fakes/FakePreferenceDomains.h"
#include "platform/PreferenceDomains.h"

namespace quayline {
namespace {

using Key = Preferences::Key;
constexpr auto kApp = PreferenceDomains::application;

class PreferencesTest : public ::testing::Test {
 protected:
  void store(const char* key, PropertyValue value) { domains.seed(kApp, key, std::move(value)); }
  std::optional<PropertyValue> stored(const char* key) { return domains.copy(kApp, key); }
  Preferences make() { return Preferences(domains, loginItem, appearance); }

  FakePreferenceDomains domains;
  FakeLoginItem loginItem;
  FakeApplicationAppearance appearance;
};

TEST_F(PreferencesTest, DefaultsWhenNothingIsStored) {
  auto preferences = make();
  EXPECT_EQ(preferences.appearanceMode(), AppearanceMode::system);
  EXPECT_EQ(preferences.windowDisplayTarget(), WindowDisplayTarget::allDisplays);
  EXPECT_EQ(preferences.leadingEdgeAction(), DockEdgeAction::showDesktop);
  EXPECT_EQ(preferences.trailingEdgeAction(), DockEdgeAction::missionControl);
  EXPECT_FALSE(preferences.magnificationEnabled());
  EXPECT_TRUE(preferences.windowPreviewsEnabled());
  EXPECT_DOUBLE_EQ(preferences.windowPreviewHoverDelay(), 0.3);
  EXPECT_FALSE(preferences.customTintColor());
  EXPECT_EQ(preferences.maximizedWindowBehavior(), MaximizedWindowBehavior::resizeWindow);
  EXPECT_EQ(preferences.frontmostClickBehavior(), FrontmostClickBehavior::doesNothing);
  EXPECT_TRUE(preferences.windowSwitcherEnabled());
  EXPECT_FALSE(preferences.switcherUsesCommandTab());
  EXPECT_TRUE(preferences.opensAtLogin());
  EXPECT_TRUE(domains.writes(kApp).empty());  // reading writes nothing
  EXPECT_TRUE(loginItem.requests.empty());
  EXPECT_EQ(appearance.applied,
            std::vector<std::optional<ApplicationAppearance::Name>>{std::nullopt});
}

TEST_F(PreferencesTest, ReadsOnlyValuesOfTheRightType) {
  store("quayline.windowDisplayTarget", PropertyValue("primaryDisplay"));
  store("quayline.runningAppsScope", PropertyValue("DisplayWithWindows"));  // wrong case
  store("quayline.leadingEdgeAction", PropertyValue(1));
  store("quayline.windowPreviewsEnabled", PropertyValue("false"));
  store("quayline.magnificationEnabled", PropertyValue("true"));
  store("quayline.autohide", PropertyValue(1));  // a number is not a boolean
  store("quayline.switcherUsesCommandTab", PropertyValue(true));
  store("quayline.windowPreviewHoverDelay", PropertyValue(2));
  store("quayline.appearanceMode", PropertyValue("dark"));
  auto preferences = make();
  EXPECT_EQ(preferences.windowDisplayTarget(), WindowDisplayTarget::primaryDisplay);
  EXPECT_EQ(preferences.runningAppsScope(), RunningAppsScope::allDisplays);
  EXPECT_EQ(preferences.leadingEdgeAction(), DockEdgeAction::showDesktop);
  EXPECT_TRUE(preferences.windowPreviewsEnabled());
  EXPECT_FALSE(preferences.magnificationEnabled());
  EXPECT_FALSE(preferences.autohide());
  EXPECT_TRUE(preferences.switcherUsesCommandTab());
  EXPECT_DOUBLE_EQ(preferences.windowPreviewHoverDelay(), 2.0);
  EXPECT_EQ(appearance.applied.back(), ApplicationAppearance::Name::dark);

  // Not a usable timer interval: the default.
  for (const auto& unusable : {PropertyValue("0.5"), PropertyValue(-1.0),
                               PropertyValue(std::numeric_limits<double>::infinity()),
                               PropertyValue(std::numeric_limits<double>::quiet_NaN())}) {
    store("quayline.windowPreviewHoverDelay", unusable);
    EXPECT_DOUBLE_EQ(make().windowPreviewHoverDelay(), 0.3) << unusable;
  }
}

TEST_F(PreferencesTest, TintNeedsAllFourComponents) {
  auto tintData = [](std::string_view json) {
    return PropertyValue(PropertyData(json.begin(), json.end()));
  };
  store("quayline.customTintColor", tintData(R"({"red":1,"green":0.5,"blue":0,"alpha":0.25})"));
  EXPECT_EQ(make().customTintColor(), (TintColor{1, 0.5, 0, 0.25}));
  store("quayline.customTintColor", tintData(R"({"red":1,"green":0.5,"blue":0})"));
  EXPECT_FALSE(make().customTintColor());
  store("quayline.customTintColor", tintData(R"({"red":"1","green":0.5,"blue":0,"alpha":1})"));
  EXPECT_FALSE(make().customTintColor());
  store("quayline.customTintColor", PropertyValue(R"({"red":1,"green":0.5,"blue":0,"alpha":1})"));
  EXPECT_FALSE(make().customTintColor());  // a string, not data
}

TEST_F(PreferencesTest, AssignmentWritesThroughAndNotifiesRealChangesOnly) {
  auto preferences = make();
  int calls = 0;
  Subscription observer = preferences.observeNextChange({Key::autohide}, [&] { ++calls; });

  preferences.setAutohide(false);  // unchanged: rewritten, not announced
  EXPECT_EQ(stored("quayline.autohide"), PropertyValue(false));
  EXPECT_EQ(calls, 0);
  preferences.setMagnificationEnabled(true);  // a key nobody asked about
  EXPECT_EQ(calls, 0);
  preferences.setAutohide(true);
  EXPECT_EQ(calls, 1);
  preferences.setAutohide(false);  // called once only, until registered again
  EXPECT_EQ(calls, 1);

  preferences.setWindowPreviewHoverDelay(0.75);
  preferences.setFrontmostClickBehavior(FrontmostClickBehavior::switchesWindows);
  preferences.setCustomTintColor(TintColor{0.1, 0.2, 0.3, 1});
  EXPECT_EQ(stored("quayline.windowPreviewHoverDelay"), PropertyValue(0.75));
  EXPECT_EQ(stored("quayline.frontmostClickBehavior"), PropertyValue("switchesWindows"));
  auto tint = stored("quayline.customTintColor");
  ASSERT_TRUE(tint && tint->data());
  EXPECT_EQ(TintColor::fromJson(std::string(tint->data()->begin(), tint->data()->end())),
            (TintColor{0.1, 0.2, 0.3, 1}));
  EXPECT_EQ(make().customTintColor(), (TintColor{0.1, 0.2, 0.3, 1}));
}

TEST_F(PreferencesTest, AReloadAnnouncesWhatAnotherProgramChanged) {
  auto preferences = make();
  std::vector<std::string> seen;
  Subscription observer;
  std::function<void()> watch = [&] {
    observer = preferences.observeNextChange({Key::autohide, Key::windowSwitcherEnabled}, [&] {
      seen.push_back(std::to_string(preferences.autohide()) + "/" +
                     std::to_string(preferences.windowSwitcherEnabled()));
      watch();
    });
  };
  watch();
  preferences.reload();  // nothing changed
  EXPECT_TRUE(seen.empty());
  // Written behind the preferences' back, as quayline-defaults does; an odd type is ignored.
  store("quayline.autohide", PropertyValue(true));
  store("quayline.windowSwitcherEnabled", PropertyValue(false));
  store("quayline.appearanceMode", PropertyValue(7.0));
  preferences.reload();
  // One call per changed key, each seeing every new value in place.
  EXPECT_EQ(seen, (std::vector<std::string>{"1/0", "1/0"}));
  EXPECT_EQ(preferences.appearanceMode(), AppearanceMode::system);
}

TEST_F(PreferencesTest, ObserversMayRegisterAgainFromTheirCallback) {
  auto preferences = make();
  std::vector<WindowDisplayTarget> seen;
  Subscription observer;
  std::function<void()> watch = [&] {
    observer = preferences.observeNextChange({Key::windowDisplayTarget, Key::autohide}, [&] {
      seen.push_back(preferences.windowDisplayTarget());
      watch();
    });
  };
  watch();
  preferences.setWindowDisplayTarget(WindowDisplayTarget::followsPointer);
  preferences.setAutohide(true);
  preferences.setWindowDisplayTarget(WindowDisplayTarget::primaryDisplay);
  EXPECT_EQ(seen, (std::vector<WindowDisplayTarget>{WindowDisplayTarget::followsPointer,
                                                    WindowDisplayTarget::followsPointer,
                                                    WindowDisplayTarget::primaryDisplay}));
  observer.reset();
  preferences.setAutohide(false);
  EXPECT_EQ(seen.size(), 3u);
}

TEST_F(PreferencesTest, EffectiveRunningAppsScope) {
  auto preferences = make();
  preferences.setRunningAppsScope(RunningAppsScope::displayWithWindows);
  EXPECT_EQ(preferences.effectiveRunningAppsScope(), RunningAppsScope::displayWithWindows);
  for (auto target : {WindowDisplayTarget::primaryDisplay, WindowDisplayTarget::followsPointer}) {
    preferences.setWindowDisplayTarget(target);
    EXPECT_EQ(preferences.effectiveRunningAppsScope(), RunningAppsScope::allDisplays);
  }
}

TEST_F(PreferencesTest, OpensAtLoginAsksTheLoginItemEveryTime) {
  auto preferences = make();
  loginItem.refuses = true;
  preferences.setOpensAtLogin(true);
  preferences.setOpensAtLogin(false);
  EXPECT_EQ(loginItem.requests, (std::vector<bool>{true, false}));
  EXPECT_EQ(stored("quayline.opensAtLogin"), PropertyValue(false));  // kept despite the refusal
}

TEST_F(PreferencesTest, ResetRestoresDefaultsButNotLoginStart) {
  auto preferences = make();
  preferences.setOpensAtLogin(false);
  preferences.setCustomTintColor(TintColor{1, 0, 0, 1});
  preferences.setAppearanceMode(AppearanceMode::light);
  preferences.setMaximizedWindowBehavior(MaximizedWindowBehavior::hideDock);
  int calls = 0;
  Subscription observer =
      preferences.observeNextChange({Key::maximizedWindowBehavior}, [&] { ++calls; });
  preferences.reset();
  EXPECT_FALSE(preferences.opensAtLogin());
  EXPECT_FALSE(stored("quayline.customTintColor"));
  EXPECT_EQ(preferences.maximizedWindowBehavior(), MaximizedWindowBehavior::resizeWindow);
  EXPECT_EQ(stored("quayline.appearanceMode"), PropertyValue("system"));
  EXPECT_EQ(appearance.applied.back(), std::nullopt);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(loginItem.requests, std::vector<bool>{false});
}

TEST(PreferenceEnumerations, RawValuesAreCaseNamesInPickerOrder) {
  EXPECT_EQ(rawValue(WindowDisplayTarget::followsPointer), "followsPointer");
  EXPECT_EQ(fromRawValue<DockEdgeAction>("stageManager"), DockEdgeAction::stageManager);
  EXPECT_EQ(fromRawValue<DockEdgeAction>("StageManager"), std::nullopt);
  constexpr auto behaviours = allCases<FrontmostClickBehavior>();
  EXPECT_EQ(behaviours.back(), FrontmostClickBehavior::minimizesAllWindows);
  EXPECT_EQ(Preferences::storedKey(Key::switcherUsesCommandTab), "quayline.switcherUsesCommandTab");
}

}  // namespace
}  // namespace quayline
