#include "stacks/AppRecentItemsService.h"

#include <gtest/gtest.h>

#include "fakes/FakeAccessibility.h"
#include "fakes/FakeFileManager.h"
#include "fakes/FakePaths.h"
#include "fakes/FakeScheduler.h"
#include "fakes/FakeWorkspace.h"

namespace quayline {
namespace {

using Node = FakeAccessibility::Node;
using NodePtr = FakeAccessibility::NodePtr;

// An element the fake does not know: pressing it fails, as a stale entry's press does.
struct GoneElement final : AccessibilityElement {};

NodePtr item(const std::string& name, std::map<std::string, AXValue, std::less<>> attributes,
             std::vector<AXElement> children = {}) {
  auto node = std::make_shared<Node>();
  node->name = name;
  node->attributes = std::move(attributes);
  if (!children.empty()) {
    node->attributes.insert_or_assign("AXChildren", AXValue(std::move(children)));
  }
  return node;
}

NodePtr entry(const std::string& title, std::optional<std::string> document = {}) {
  std::map<std::string, AXValue, std::less<>> attributes{{"AXTitle", title}};
  if (document) {
    attributes.insert_or_assign("AXURL", Url::fileURL(*document));
  }
  return item(title, std::move(attributes));
}

class AppRecentItemsServiceTest : public ::testing::Test {
 protected:
  AppRecentItemsServiceTest() { workspace.addApplication(7, "editor", "Editor"); }

  // Gives the application a menu bar "Edit", "File ▸ New, Open Recent ▸ <entries>".
  void setMenu(std::vector<NodePtr> entries, std::string openRecentTitle = "Open Recent") {
    std::vector<AXElement> elements(entries.begin(), entries.end());
    auto submenu = item("recent-menu", {}, std::move(elements));
    auto openRecent = item(openRecentTitle, {{"AXTitle", openRecentTitle}}, {submenu});
    auto fileMenu =
        item("file-menu", {}, {item("New", {{"AXTitle", std::string("New")}}), openRecent});
    auto file = item("File", {{"AXTitle", std::string("File")}}, {fileMenu});
    auto edit = item("Edit", {{"AXTitle", std::string("Edit")}}, {item("edit-menu", {})});
    auto bar = item("menu-bar", {}, {edit, file});
    accessibility.application(7)->attributes.insert_or_assign("AXMenuBar", AXValue(AXElement(bar)));
  }

  std::vector<std::string> titles(std::size_t limit = 10) {
    std::vector<std::string> result;
    for (const AppRecentItem& recent : service.recentItems("editor", limit)) {
      result.push_back(recent.title + (recent.path ? " @" + *recent.path : ""));
    }
    return result;
  }

  FakeWorkspace workspace;
  FakeAccessibility accessibility;
  FakeScheduler scheduler;
  FakeFileManager files;
  FakePaths paths;
  AppRecentItemsService service{workspace, accessibility, scheduler, files, paths};
};

TEST_F(AppRecentItemsServiceTest, ListsDocumentsButNotTheMenusCommands) {
  files.existing = {"/home/tester/notes.txt", "/docs/b.txt"};
  setMenu({entry("  ~/notes.txt (Desktop) "), entry("Clear Menu"), entry("reopen all"),
           entry("MORE…"), entry("Clearwater.pdf", "/gone/Clearwater.pdf"),
           entry("Reopen notes.md", "/docs/Reopen notes.md"), entry("b.txt", "/docs/b.txt"),
           entry("bare.txt"), entry("/missing.txt"), entry("   "),
           item("untitled", {{"AXURL", Url::fileURL("/docs/b.txt")}})});
  EXPECT_EQ(titles(), (std::vector<std::string>{"~/notes.txt (Desktop) @/home/tester/notes.txt",
                                                "Clearwater.pdf", "Reopen notes.md",
                                                "b.txt @/docs/b.txt", "bare.txt", "/missing.txt"}));
}

TEST_F(AppRecentItemsServiceTest, NothingWithoutTheMenuOrTheApplication) {
  setMenu({entry("a.txt")}, "Open Recently Closed");
  EXPECT_TRUE(titles().empty());
  setMenu({});
  EXPECT_TRUE(titles().empty());
  workspace.running.clear();
  scheduler.advance(AppRecentItemsService::cacheLifetime);
  EXPECT_TRUE(titles().empty());
}

TEST_F(AppRecentItemsServiceTest, AtMostTheLimitInMenuOrderReadOncePerFiveSeconds) {
  std::vector<NodePtr> entries;
  std::vector<std::string> expected;
  for (int i = 1; i <= 12; ++i) {
    entries.push_back(entry("doc " + std::to_string(i) + ".txt"));
    if (i <= 10) {
      expected.push_back("doc " + std::to_string(i) + ".txt");
    }
  }
  setMenu(entries);
  EXPECT_EQ(titles(), expected);
  EXPECT_EQ(titles(3), std::vector<std::string>(expected.begin(), expected.begin() + 3));
  EXPECT_EQ(accessibility.batchReads, 1);

  setMenu({entry("new.txt")});
  scheduler.advance(AppRecentItemsService::cacheLifetime - 0.1);
  EXPECT_EQ(titles().size(), 10u) << "still the cached menu";
  scheduler.advance(0.1);
  EXPECT_EQ(titles(), (std::vector<std::string>{"new.txt"}));
  EXPECT_EQ(accessibility.batchReads, 2);
}

TEST_F(AppRecentItemsServiceTest, OpensWithTheApplicationOrPressesTheEntry) {
  const Url editor = Url::fileURL("/apps/editor.desktop");
  service.open({"b.txt", "/docs/b.txt", nullptr}, "editor", editor);
  EXPECT_EQ(workspace.requests.back().operation, "openDocuments");

  auto bare = entry("bare.txt");
  service.open({"bare.txt", std::nullopt, bare}, "editor", editor);
  EXPECT_EQ(workspace.requests.back().operation, "activate");
  EXPECT_EQ(accessibility.actions.back(), (FakeAccessibility::Action{"bare.txt", "AXPress"}));

  // A stale entry: the menu now holds two files named "report.txt"; the one at the item's path
  // is pressed, not the first of that name.
  files.existing = {"/a/report.txt", "/b/report.txt"};
  auto first = entry("report.txt", "/a/report.txt");
  first->name = "first";
  auto second = entry("report.txt", "/b/report.txt");
  second->name = "second";
  setMenu({first, second});
  service.open({"report.txt", "/b/report.txt", std::make_shared<GoneElement>()}, "editor",
               std::nullopt);
  EXPECT_EQ(accessibility.actions.back(), (FakeAccessibility::Action{"second", "AXPress"}));
}

}  // namespace
}  // namespace quayline
