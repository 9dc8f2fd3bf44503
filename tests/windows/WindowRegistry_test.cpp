#include "windows/WindowRegistry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "fakes/FakeAccessibility.h"
#include "fakes/FakeScheduler.h"
#include "fakes/FakeSystemLog.h"
#include "fakes/FakeWorkspace.h"
#include "fakes/ManualSerialQueue.h"
#include "foundation/SerialQueue.h"

namespace quayline {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Kind = WorkspaceNotification::Kind;

class WindowRegistryTest : public ::testing::Test {
 protected:
  WindowRegistryTest() {
    workspace.addApplication(10, "org.example.Editor", "Editor", 100);
    workspace.addApplication(20, "org.example.Web", "Web", 200);
  }

  // Starts the registry with enumerations running at once.
  WindowRegistry& start() { return start(inlineQueue); }
  WindowRegistry& start(SerialQueue& queue) {
    registry = std::make_unique<WindowRegistry>(workspace, accessibility, scheduler, queue, log);
    scheduler.runPosted();
    return *registry;
  }
  std::vector<std::string> titles() const {
    std::vector<std::string> result;
    for (const auto& window : registry->windows()) {
      result.push_back(window.title);
    }
    return result;
  }
  // The index part of an identifier "pid:index:hash".
  static std::string indexOf(const AppWindow& window) {
    const auto first = window.id.find(':');
    return window.id.substr(first + 1, window.id.find(':', first + 1) - first - 1);
  }
  static std::string hashOf(const AppWindow& window) {
    return window.id.substr(window.id.rfind(':') + 1);
  }

  FakeWorkspace workspace;
  FakeAccessibility accessibility;
  FakeScheduler scheduler;
  FakeSystemLog log;
  InlineSerialQueue inlineQueue{std::string(WindowRegistry::queueLabel)};
  std::unique_ptr<WindowRegistry> registry;
};

TEST_F(WindowRegistryTest, ListsRegularApplicationsWindowsInWorkspaceOrder) {
  accessibility.addWindow(20, "Inbox", Rect(0, 0, 800, 600));
  auto draft = accessibility.addWindow(10, "Draft", Rect(10, 20, 300, 400));
  accessibility.addWindow(10, "Notes");
  workspace.addApplication(30, "org.example.Helper", "Helper").activationPolicy =
      ActivationPolicy::accessory;
  accessibility.addWindow(30, "Helper panel");
  workspace.addApplication(40, "", "Unnamed").bundleIdentifier.reset();
  accessibility.addWindow(40, "Stray");

  auto& windows = start();

  EXPECT_THAT(titles(), ElementsAre("Draft", "Notes", "Inbox"));
  // Two reads for all applications together: their window lists, then their windows' attributes.
  EXPECT_EQ(accessibility.batchReads, 2);
  const AppWindow& first = windows.windows().front();
  EXPECT_EQ(first.pid, 10);
  EXPECT_EQ(first.bundleIdentifier, "org.example.Editor");
  EXPECT_EQ(first.frame, Rect(10, 20, 300, 400));
  EXPECT_EQ(first.element, draft);
  EXPECT_EQ(windows.windows()[1].frame, std::nullopt);
  EXPECT_EQ(windows.frame(draft), Rect(10, 20, 300, 400));

  ASSERT_EQ(windows.windows("org.example.Web").size(), 1u);
  EXPECT_EQ(windows.windows("org.example.Web")[0].title, "Inbox");
  EXPECT_THAT(windows.windows("org.example"), IsEmpty());
}

TEST_F(WindowRegistryTest, SubrolesDecideWhatIsListedWhileIndicesCountEveryWindow) {
  accessibility.addWindow(10, "Palette", {}, "AXFloatingWindow");
  accessibility.addWindow(10, "Document");
  accessibility.addWindow(10, "Save changes?", {}, "AXDialog");
  accessibility.addWindow(10, "No subrole", {}, "");
  accessibility.addWindow(10, "Sheet", {}, "AXSheet");
  // A subrole that is not text counts as none.
  accessibility.addWindow(10, "Odd subrole")->attributes.insert_or_assign("AXSubrole", true);

  auto& windows = start();

  ASSERT_THAT(titles(), ElementsAre("Document", "Save changes?", "No subrole", "Odd subrole"));
  const auto& list = windows.windows();
  EXPECT_EQ(indexOf(list[0]), "1");
  EXPECT_EQ(list[0].id.substr(0, 5), "10:1:");
  EXPECT_EQ(indexOf(list[1]), "2");
  EXPECT_EQ(indexOf(list[2]), "3");
  EXPECT_EQ(indexOf(list[3]), "5");
  EXPECT_FALSE(list[0].isDialog);
  EXPECT_TRUE(list[1].isDialog);
  EXPECT_FALSE(list[2].isDialog);
  EXPECT_FALSE(list[3].isDialog);
}

TEST_F(WindowRegistryTest, IdentifiersFollowPositionAndTitle) {
  accessibility.addWindow(10, "Untitled");
  auto second = accessibility.addWindow(10, "Untitled");
  auto& windows = start();

  const AppWindow first = windows.windows()[0];
  const AppWindow twin = windows.windows()[1];
  EXPECT_NE(first.id, twin.id);
  EXPECT_EQ(hashOf(first), hashOf(twin));
  std::size_t used = 0;
  std::stoll(hashOf(first), &used);  // a signed decimal number
  EXPECT_EQ(used, hashOf(first).size());

  second->attributes.insert_or_assign("AXTitle", std::string("Report.txt"));
  scheduler.advance(WindowRegistry::refreshInterval);
  EXPECT_EQ(windows.windows()[0].id, first.id);
  EXPECT_NE(windows.windows()[1].id, twin.id);
  EXPECT_EQ(indexOf(windows.windows()[1]), "1");
}

TEST_F(WindowRegistryTest, UnreadableAttributesFallBack) {
  auto bare = accessibility.addWindow(10, "ignored");
  bare->attributes.clear();
  auto half = accessibility.addWindow(10, "Half", Rect(1, 2, 3, 4));
  half->attributes.erase("AXSize");
  auto wrong = accessibility.addWindow(10, "Wrong");
  wrong->attributes.insert_or_assign("AXTitle", std::int64_t{7});
  wrong->attributes.insert_or_assign("AXMinimized", std::string("yes"));
  wrong->attributes.insert_or_assign("AXPosition", Size{1, 2});
  wrong->attributes.insert_or_assign("AXSize", Size{3, 4});
  auto flagged = accessibility.addWindow(10, "Flagged");
  flagged->attributes.insert_or_assign("AXMinimized", true);
  flagged->attributes.insert_or_assign("AXMain", true);
  // Applications whose window list is missing or malformed contribute nothing.
  accessibility.application(20)->attributes.insert_or_assign("AXWindows", std::string("none"));
  workspace.addApplication(30, "org.example.Broken", "Broken");
  accessibility.application(30)->attributes.insert_or_assign("AXWindows",
                                                             std::vector<AXElement>{nullptr});
  workspace.addApplication(40, "org.example.Silent", "Silent");

  auto& windows = start();

  ASSERT_EQ(windows.windows().size(), 4u);
  for (int i = 0; i < 3; ++i) {
    const AppWindow& window = windows.windows()[i];
    EXPECT_FALSE(window.isMinimized) << window;
    EXPECT_FALSE(window.isMain) << window;
    EXPECT_EQ(window.frame, std::nullopt) << window;
  }
  EXPECT_EQ(windows.windows()[0].title, "");
  EXPECT_EQ(windows.windows()[2].title, "");
  EXPECT_TRUE(windows.windows()[3].isMinimized);
  EXPECT_TRUE(windows.windows()[3].isMain);
  EXPECT_EQ(windows.frame(half), std::nullopt);
  EXPECT_EQ(windows.frame(nullptr), std::nullopt);
}

TEST_F(WindowRegistryTest, RequestsDuringAnEnumerationFoldIntoOneMore) {
  ManualSerialQueue queue{std::string(WindowRegistry::queueLabel)};
  accessibility.addWindow(10, "Draft");
  auto& windows = start(queue);
  ASSERT_EQ(queue.tasks.size(), 1u);

  windows.refresh();
  windows.refresh();
  windows.refresh();
  EXPECT_EQ(queue.tasks.size(), 1u);

  queue.runOne();
  EXPECT_THAT(windows.windows(), IsEmpty());  // the result waits for the main thread
  scheduler.runPosted();
  EXPECT_THAT(titles(), ElementsAre("Draft"));
  ASSERT_EQ(queue.tasks.size(), 1u);  // the folded follow-up

  queue.runOne();
  scheduler.runPosted();
  EXPECT_EQ(queue.tasks.size(), 0u);
  windows.refresh();
  EXPECT_EQ(queue.tasks.size(), 1u);
}

TEST_F(WindowRegistryTest, RefreshesOnTheTimerOnFiveWorkspaceNotificationsAndOnWindowChanges) {
  ManualSerialQueue queue{std::string(WindowRegistry::queueLabel)};
  start(queue);
  queue.runOne();
  scheduler.runPosted();

  scheduler.advance(2.9);
  EXPECT_EQ(queue.tasks.size(), 0u);
  scheduler.advance(0.1);
  ASSERT_EQ(queue.tasks.size(), 1u);
  queue.runOne();
  scheduler.runPosted();

  const Kind refreshing[] = {Kind::didLaunchApplication, Kind::didTerminateApplication,
                             Kind::didActivateApplication, Kind::didHideApplication,
                             Kind::didUnhideApplication};
  for (Kind kind : refreshing) {
    workspace.notify(kind);
    EXPECT_EQ(queue.tasks.size(), 1u) << static_cast<int>(kind);
    queue.runOne();
    scheduler.runPosted();
  }
  workspace.notify(Kind::willLaunchApplication);
  workspace.notify(Kind::activeSpaceDidChange);
  EXPECT_EQ(queue.tasks.size(), 0u);

  // A window maximized or moved is read at once, not at the next tick.
  accessibility.notifyWindowChanged();
  accessibility.notifyWindowChanged();
  EXPECT_EQ(queue.tasks.size(), 1u);
}

TEST_F(WindowRegistryTest, PublishesOnlyRealChanges) {
  auto draft = accessibility.addWindow(10, "Draft", Rect(0, 0, 100, 100));
  auto& windows = start();
  int published = 0;
  Subscription observer = windows.observeWindows([&](const auto&) { ++published; });

  scheduler.advance(3 * WindowRegistry::refreshInterval);
  EXPECT_EQ(published, 0);

  draft->attributes.insert_or_assign("AXMinimized", true);
  scheduler.advance(WindowRegistry::refreshInterval);
  EXPECT_EQ(published, 1);
  EXPECT_TRUE(windows.windows()[0].isMinimized);

  draft->attributes.insert_or_assign("AXPosition", Point{0, 1});
  workspace.notify(Kind::didActivateApplication);
  scheduler.runPosted();
  EXPECT_EQ(published, 2);
}

TEST_F(WindowRegistryTest, LosingAccessibilityEmptiesTheListAndIsLogged) {
  accessibility.addWindow(10, "Draft");
  auto& windows = start();
  ASSERT_EQ(windows.windows().size(), 1u);
  EXPECT_TRUE(windows.isTrusted());
  std::vector<bool> trust;
  Subscription observer = windows.observeTrusted([&](bool value) { trust.push_back(value); });

  accessibility.trusted = false;
  scheduler.advance(WindowRegistry::refreshInterval);
  EXPECT_THAT(windows.windows(), IsEmpty());
  EXPECT_FALSE(windows.isTrusted());
  scheduler.advance(WindowRegistry::refreshInterval);

  accessibility.trusted = true;
  workspace.notify(Kind::didLaunchApplication);
  scheduler.runPosted();
  EXPECT_EQ(windows.windows().size(), 1u);
  EXPECT_THAT(trust, ElementsAre(false, true));
  EXPECT_THAT(log.lines, ElementsAre(FakeSystemLog::Line{"permission", "accessibility LOST"},
                                     FakeSystemLog::Line{"permission", "accessibility granted"}));
}

TEST_F(WindowRegistryTest, StartsUntrustedWithoutLoggingOrEnumerating) {
  ManualSerialQueue queue{std::string(WindowRegistry::queueLabel)};
  accessibility.trusted = false;
  auto& windows = start(queue);
  EXPECT_FALSE(windows.isTrusted());
  EXPECT_EQ(queue.tasks.size(), 0u);
  EXPECT_THAT(log.lines, IsEmpty());
}

TEST_F(WindowRegistryTest, AGoneRegistryIsNeverCalledBack) {
  ManualSerialQueue queue{std::string(WindowRegistry::queueLabel)};
  accessibility.addWindow(10, "Draft");

  // Gone between the enumeration and the arrival of its result.
  start(queue);
  queue.runOne();
  registry.reset();
  scheduler.runPosted();

  // Gone before its enumeration ran: nothing is read, no timer or notification reaches it.
  start(queue);
  const int reads = accessibility.batchReads;
  registry.reset();
  EXPECT_EQ(scheduler.pendingTimers(), 0u);
  queue.runOne();
  scheduler.runPosted();
  workspace.notify(Kind::didLaunchApplication);
  EXPECT_EQ(queue.tasks.size(), 0u);
  EXPECT_EQ(accessibility.batchReads, reads);
}

}  // namespace
}  // namespace quayline
