#include "switcher/WindowSwitcher.h"

#include <gtest/gtest.h>

#include "app/SwitcherSettings.h"
#include "fakes/FakeDockServices.h"
#include "fakes/FakeKeyboardHook.h"
#include "fakes/FakeWindowCapture.h"
#include "previews/WindowThumbnailer.h"
#include "switcher/SwitcherPanel.h"

namespace quayline {
namespace {

using Kind = WorkspaceNotification::Kind;
constexpr auto kOption = ModifierFlag::option;

struct RecordingPanel final : SwitcherPanel {
  void setEvents(Events value) override { events = std::move(value); }
  void prepare() override { ++preparations; }
  void present(const SwitcherPresentation& presentation) override {
    shown = presentation;
    visible = true;
  }
  void dismiss() override { visible = false; }
  bool isVisible() const override { return visible; }

  Events events;
  std::optional<SwitcherPresentation> shown;
  bool visible = false;
  int preparations = 0;
};

// Three applications' windows used in the order A, B, C; C is the front one.
class WindowSwitcherTest : public testing::Test {
 protected:
  WindowSwitcherTest() {
    fakes.displays.list = {Screen{1, Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 900), 1},
                           Screen{2, Rect(1440, 0, 1440, 900), Rect(1440, 25, 1440, 875), 2}};
    fakes.displays.pointer = {2000, 400};
    int at = 1;
    for (auto [pid, title, number] :
         {std::tuple{10, "A", 101u}, {20, "B", 201u}, {30, "C", 301u}}) {
      fakes.workspace.addApplication(pid, "org.example." + std::string(title), title);
      auto node = fakes.accessibility.addWindow(pid, title, Rect(100, 100, 800, 600));
      node->attributes.insert_or_assign("AXMinimized", std::string(title) == "A");
      node->windowNumber = number;
      nodes[title] = node;
      capture.add(number, Rect(0, 0, 800, 600), 0xff000000 | number);
    }
    fakes.start();
    fakes.refresh();
    model = std::make_unique<SwitcherModel>(*fakes.registry, fakes.workspace, fakes.accessibility,
                                            fakes.scheduler, recencyQueue);
    switcher = std::make_unique<WindowSwitcher>(
        WindowSwitcher::Services{hook, *model, fakes.workspace, fakes.accessibility, fakes.displays,
                                 thumbnails, capture, panel, fakes.scheduler, fakes.log});
    for (const char* title : {"A", "B", "C"}) {
      use(title, at++);
    }
    switcher->setEnabled(true);
  }

  void use(const std::string& title, double at) {
    fakes.scheduler.advance(at - fakes.scheduler.monotonic());
    const ProcessId pid = title == "A" ? 10 : title == "B" ? 20 : 30;
    fakes.accessibility.application(pid)->attributes.insert_or_assign(
        "AXFocusedWindow", AXValue(AXElement(nodes[title])));
    fakes.workspace.frontmostPid = pid;
    fakes.workspace.notify(Kind::didActivateApplication, *fakes.workspace.frontmostApplication());
    fakes.scheduler.advance(SwitcherModel::focusDelay);
    fakes.scheduler.runPosted();
  }

  std::string selectedTitle() const {
    return switcher->model().candidates()[switcher->model().selectionIndex()].window.title;
  }

  FakeDockServices fakes;
  FakeKeyboardHook hook;
  FakeWindowCapture capture;
  InlineSerialQueue lane{"lane"};
  InlineSerialQueue recencyQueue{"recency"};
  WindowThumbnailer thumbnails{capture, fakes.scheduler, {&lane}, fakes.log};
  RecordingPanel panel;
  std::map<std::string, FakeAccessibility::NodePtr> nodes;
  std::unique_ptr<SwitcherModel> model;
  std::unique_ptr<WindowSwitcher> switcher;
};

TEST_F(WindowSwitcherTest, OptionTabShowsThePanelAndReleasingSwitchesBack) {
  EXPECT_EQ(panel.preparations, 1);
  EXPECT_TRUE(hook.press(VirtualKey::tab, kOption));
  ASSERT_TRUE(panel.visible);
  EXPECT_TRUE(hook.state->sessionActive);
  // Centred on the visible frame of the display under the pointer.
  EXPECT_EQ(panel.shown->frame, Rect(1818, 363, 684, 200));
  EXPECT_EQ(panel.shown->backingScale, 2);
  EXPECT_EQ(selectedTitle(), "B");
  fakes.scheduler.runPosted();
  EXPECT_EQ(thumbnails.images().size(), 3u);
  EXPECT_EQ(thumbnails.image(101)->size, (Size{160, 120}));

  hook.release(VirtualKey::tab, kOption);
  fakes.scheduler.advance(1);
  EXPECT_FALSE(hook.flags(0));
  EXPECT_FALSE(panel.visible);
  EXPECT_FALSE(hook.state->sessionActive);
  EXPECT_EQ(fakes.workspace.requests.back(), (FakeWorkspace::Request{"activate", {"20"}}));
  EXPECT_EQ(fakes.accessibility.actions.back().name, "AXRaise");

  // The window just chosen leads; Tab twice goes two back, to the minimized A, which comes back.
  hook.press(VirtualKey::tab, kOption);
  EXPECT_EQ(switcher->model().candidates()[0].window.title, "B");
  hook.press(VirtualKey::tab, kOption);
  EXPECT_EQ(selectedTitle(), "A");
  hook.flags(0);
  ASSERT_FALSE(fakes.accessibility.writes.empty());
  EXPECT_EQ(fakes.accessibility.writes.back().attribute, "AXMinimized");
  EXPECT_EQ(fakes.accessibility.writes.back().value, AXValue(false));
  EXPECT_EQ(fakes.workspace.requests.back(), (FakeWorkspace::Request{"activate", {"10"}}));
}

TEST_F(WindowSwitcherTest, EscapeHoverAndSwitchingOff) {
  const std::size_t requests = fakes.workspace.requests.size();
  hook.press(VirtualKey::tab, kOption);
  EXPECT_TRUE(hook.press(VirtualKey::escape, kOption));
  EXPECT_FALSE(panel.visible);
  hook.flags(0);  // the release after a cancel switches nothing
  EXPECT_EQ(fakes.workspace.requests.size(), requests);

  // The panel appears under a resting pointer: that card is not chosen until the pointer moves.
  hook.press(VirtualKey::tab, kOption);
  panel.events.pointerOverCard(2);
  EXPECT_EQ(selectedTitle(), "B");
  fakes.displays.pointer.x += 3;
  panel.events.pointerOverCard(2);
  EXPECT_EQ(selectedTitle(), "A");

  // Switching off while the panel is up hides it and switches nothing.
  switcher->setEnabled(false);
  EXPECT_FALSE(panel.visible);
  EXPECT_FALSE(hook.state->installed);
  EXPECT_EQ(fakes.workspace.requests.size(), requests);
}

TEST_F(WindowSwitcherTest, SameApplicationEmptyPanelAndNoDisplay) {
  // The front application has no window listed: the most recently used one's application.
  fakes.workspace.frontmostPid = 99;
  hook.press(VirtualKey::grave, kOption);
  ASSERT_EQ(switcher->model().candidates().size(), 1u);
  EXPECT_EQ(selectedTitle(), "C");
  hook.press(VirtualKey::escape, kOption);

  fakes.accessibility.trusted = false;
  for (ProcessId pid : {10, 20, 30}) {
    fakes.accessibility.application(pid)->attributes.insert_or_assign(
        "AXWindows", AXValue(std::vector<AXElement>{}));
  }
  fakes.refresh();
  hook.press(VirtualKey::tab, kOption);
  ASSERT_TRUE(panel.visible);
  EXPECT_EQ(panel.shown->frame.size, (Size{320, 96}));
  EXPECT_EQ(panel.shown->emptyTitle, "No windows");
  EXPECT_EQ(panel.shown->emptyDetail, "Allow Accessibility for Quayline to list windows.");
  const std::size_t requests = fakes.workspace.requests.size();
  hook.flags(0);
  EXPECT_FALSE(panel.visible);
  EXPECT_EQ(fakes.workspace.requests.size(), requests);

  fakes.displays.list.clear();
  hook.press(VirtualKey::tab, kOption);
  EXPECT_FALSE(panel.visible);
  EXPECT_FALSE(hook.state->sessionActive);
}

TEST_F(WindowSwitcherTest, TheSettingsApplyAsTheyChange) {
  SwitcherSettings settings(fakes.preferences, *switcher);
  fakes.preferences.setSwitcherUsesCommandTab(true);
  settings.apply();
  EXPECT_EQ(hook.state->modifier, ModifierFlag::command);
  EXPECT_FALSE(hook.press(VirtualKey::tab, kOption));
  EXPECT_TRUE(hook.press(VirtualKey::tab, ModifierFlag::command));
  EXPECT_TRUE(panel.visible);
  fakes.preferences.setWindowSwitcherEnabled(false);  // from the status menu, say
  EXPECT_FALSE(panel.visible);
  EXPECT_FALSE(hook.state->installed);
  fakes.preferences.setWindowSwitcherEnabled(true);
  EXPECT_TRUE(hook.state->installed);
  fakes.preferences.setSwitcherUsesCommandTab(false);
  EXPECT_EQ(hook.state->modifier, ModifierFlag::option);
}

TEST_F(WindowSwitcherTest, TheOverviewListsTheDisplaysWindowsUntilReturnEscapeOrAClickOutside) {
  // The pointer is on the second display, which holds no window.
  switcher->toggleOverview();
  ASSERT_TRUE(panel.visible);
  EXPECT_TRUE(switcher->model().candidates().empty());
  EXPECT_EQ(panel.shown->emptyTitle, "No windows on this display");
  switcher->toggleOverview();
  EXPECT_FALSE(panel.visible);
  EXPECT_FALSE(hook.state->held);

  fakes.displays.pointer = {500, 400};
  switcher->toggleOverview();
  ASSERT_EQ(switcher->model().candidates().size(), 3u);
  EXPECT_TRUE(hook.state->held);
  EXPECT_EQ(selectedTitle(), "C");
  // No modifier is needed, and none let go commits: an arrow moves, Return chooses.
  EXPECT_TRUE(hook.press(VirtualKey::rightArrow, 0));
  EXPECT_FALSE(hook.flags(0));
  EXPECT_TRUE(panel.visible);
  EXPECT_TRUE(hook.press(VirtualKey::returnKey, 0));
  EXPECT_FALSE(panel.visible);
  EXPECT_FALSE(hook.state->held);
  EXPECT_EQ(fakes.workspace.requests.back(), (FakeWorkspace::Request{"activate", {"20"}}));

  switcher->toggleOverview();
  EXPECT_TRUE(hook.press(VirtualKey::escape, 0));
  EXPECT_FALSE(panel.visible);
  // Return means nothing outside the overview.
  EXPECT_FALSE(hook.press(VirtualKey::returnKey, 0));

  // A press on the panel keeps it; one beside it closes it.
  switcher->toggleOverview();
  const Rect frame = panel.shown->frame;
  switcher->pressedAt(Point{frame.midX(), 900 - frame.midY()});
  EXPECT_TRUE(panel.visible);
  switcher->pressedAt(Point{5, 5});
  EXPECT_FALSE(panel.visible);
  EXPECT_EQ(fakes.workspace.requests.back(), (FakeWorkspace::Request{"activate", {"20"}}));
}

}  // namespace
}  // namespace quayline
