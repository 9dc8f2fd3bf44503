#include "switcher/SwitcherModel.h"

#include <gtest/gtest.h>

#include "fakes/FakeDockServices.h"

namespace quayline {
namespace {

using Kind = WorkspaceNotification::Kind;

class SwitcherModelTest : public testing::Test {
 protected:
  // One application per window, in registry order; `title` empty for an untitled window.
  void add(ProcessId pid, const std::string& title, std::uint32_t number,
           std::optional<Rect> frame = Rect(0, 0, 800, 600)) {
    fakes.workspace.addApplication(pid, "org.example.app" + std::to_string(pid),
                                   "App " + std::to_string(pid));
    auto node = fakes.accessibility.addWindow(pid, title, frame);
    node->windowNumber = number;
    windows[number] = node;
  }

  void start() {
    fakes.start();
    fakes.refresh();
    model = std::make_unique<SwitcherModel>(*fakes.registry, fakes.workspace, fakes.accessibility,
                                            fakes.scheduler, queue);
  }

  // The user activates the application and works in that window, at this virtual time.
  void use(ProcessId pid, std::uint32_t number, double at) {
    fakes.scheduler.advance(at - fakes.scheduler.monotonic());
    fakes.accessibility.application(pid)->attributes.insert_or_assign(
        "AXFocusedWindow", AXValue(AXElement(windows[number])));
    for (const RunningApp& app : fakes.workspace.running) {
      if (app.pid == pid) {
        fakes.workspace.notify(Kind::didActivateApplication, app);
      }
    }
    fakes.scheduler.advance(SwitcherModel::focusDelay);
    fakes.scheduler.runPosted();
  }

  std::vector<std::string> titles() const {
    std::vector<std::string> result;
    for (const SwitcherCandidate& candidate : model->candidates()) {
      result.push_back(candidate.displayTitle);
    }
    return result;
  }

  FakeDockServices fakes;
  InlineSerialQueue queue{std::string(SwitcherModel::queueLabel)};
  std::map<std::uint32_t, FakeAccessibility::NodePtr> windows;
  std::unique_ptr<SwitcherModel> model;
};

TEST_F(SwitcherModelTest, MostRecentlyUsedFirstAndTheInitialSelection) {
  add(10, "A", 1);
  add(20, "B", 2);
  add(30, "C", 3);
  start();
  use(10, 1, 1);
  use(20, 2, 5);
  model->rebuild(false, false);
  EXPECT_EQ(titles(), (std::vector<std::string>{"B", "A", "C"}));
  EXPECT_EQ(model->selectionIndex(), 1);
  EXPECT_EQ(model->candidates()[0].accessibilityIdentifier,
            "switcher:20:" + SwitcherModel::titleHash("B"));
  EXPECT_EQ(model->candidates()[0].windowID, 2u);
  EXPECT_EQ(model->candidates()[0].appName, "App 20");
  model->rebuild(false, true);
  EXPECT_EQ(model->selectionIndex(), 2);

  // Only one application's windows; the frontmost application has none listed, so the most
  // recently used window's application is taken.
  fakes.workspace.frontmostPid = 99;
  model->rebuild(true, false);
  EXPECT_EQ(titles(), (std::vector<std::string>{"B"}));
  EXPECT_EQ(model->selectionIndex(), 0);
  model->cycle(true);
  EXPECT_EQ(model->selectionIndex(), 0);
}

TEST_F(SwitcherModelTest, CyclingAndMovingWrap) {
  for (std::uint32_t n = 1; n <= 7; ++n) {
    add(static_cast<ProcessId>(n * 10), "W" + std::to_string(n), n);
  }
  start();
  model->rebuild(false, false);
  EXPECT_EQ(titles().front(), "W1");  // never used: the registry's order
  model->setColumns(3);
  struct Row {
    int from;
    bool down;
    int to;
  };
  for (const Row& row :
       {Row{5, true, 2}, {1, false, 4}, {4, true, 1}, {0, false, 6}, {3, true, 6}, {6, true, 0}}) {
    model->select(row.from);
    model->move(row.down);
    EXPECT_EQ(model->selectionIndex(), row.to) << row.from << (row.down ? " down" : " up");
  }
  model->select(0);
  model->cycle(false);
  EXPECT_EQ(model->selectionIndex(), 6);
  model->cycle(true);
  EXPECT_EQ(model->selectionIndex(), 0);
  model->select(7);  // out of range: nothing
  EXPECT_EQ(model->selectionIndex(), 0);
}

TEST_F(SwitcherModelTest, UntitledWindowsAndLongTitles) {
  const std::string sixty = "Quarterly report for the northern region draft version 12345";
  ASSERT_EQ(sixty.size(), 60u);
  add(10, "", 1, std::nullopt);  // untitled, no readable size: never listed
  add(20, "", 2);                // untitled with a size: listed under the application's name
  add(30, sixty, 3);
  start();
  model->rebuild(false, false);
  EXPECT_EQ(titles(), (std::vector<std::string>{
                          "App 20", "Quarterly report for the northern region draft\u2026"}));
  EXPECT_EQ(SwitcherModel::titleHash("abc"), "1a47e90b");
  EXPECT_EQ(SwitcherModel::titleHash(""), "811c9dc5");
}

TEST_F(SwitcherModelTest, ClosedWindowsAreForgotten) {
  add(10, "A", 1);
  add(20, "B", 2);
  start();
  const auto setListed = [&](bool listed) {
    fakes.accessibility.application(20)->attributes.insert_or_assign(
        "AXWindows",
        AXValue(listed ? std::vector<AXElement>{windows[2]} : std::vector<AXElement>{}));
    fakes.refresh();
  };
  // A window missing from the list for less than a minute keeps its place when it comes back;
  // one missing longer does not.
  for (const auto& [away, leads] : {std::pair{50.0, true}, {70.0, false}}) {
    use(20, 2, fakes.scheduler.monotonic() + 1);
    setListed(false);
    fakes.scheduler.advance(away);
    model->rebuild(false, false);
    setListed(true);
    model->rebuild(false, false);
    EXPECT_EQ(titles().front(), leads ? "B" : "A") << away;
  }
  // A destroyed window's number names the next window at once: its use does not carry over.
  use(20, 2, fakes.scheduler.monotonic() + 1);
  model->forgetWindow(2);
  model->rebuild(false, false);
  EXPECT_EQ(titles().front(), "A");
}

}  // namespace
}  // namespace quayline
