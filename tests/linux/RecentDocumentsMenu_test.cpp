#include "platform/linux/RecentDocumentsMenu.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "fakes/FakeAccessibility.h"
#include "fakes/FakeSystemLog.h"
#include "fakes/FakeWorkspace.h"
#include "fakes/TemporaryHome.h"
#include "linux/QtEventLoop.h"
#include "linux/RecentlyUsedXbel.h"
#include "platform/linux/DesktopEntryIndex.h"
#include "platform/linux/RecentlyUsedFile.h"

namespace quayline {
namespace {

namespace fs = std::filesystem;

class RecentDocumentsMenuTest : public TemporaryHome {
 protected:
  std::string fileUri(const std::string& name) {
    return Url::fileURL((root / "home" / name).string()).absoluteString();
  }
  void touch(const std::string& name) { std::ofstream(root / "home" / name) << "x"; }

  // The "Open Recent" entries the menu presents for the application of `pid`.
  std::vector<AXElement> openRecent(RecentDocumentsMenu& menu, ProcessId pid) {
    AXElement current = menu.applicationElement(pid);
    const auto bar = menu.attribute(current, AX::menuBar);
    current = std::get<AXElement>(*bar);
    for (const char* expected : {"File", "", "Open Recent", ""}) {
      const auto children =
          std::get<std::vector<AXElement>>(*menu.attribute(current, AX::children));
      EXPECT_EQ(children.size(), 1u);
      current = children.front();
      if (*expected) {
        EXPECT_EQ(std::get<std::string>(*menu.attribute(current, AX::title)), expected);
      }
    }
    return std::get<std::vector<AXElement>>(*menu.attribute(current, AX::children));
  }

  FakeAccessibility accessibility;
  FakeWorkspace workspace;
  FakeSystemLog log;
};

TEST_F(RecentDocumentsMenuTest, ListsTheApplicationsExistingFilesNewestFirst) {
  const fs::path applications = root / "data/applications";
  fs::create_directories(applications);
  std::ofstream(applications / "org.example.Pad.desktop")
      << "[Desktop Entry]\nType=Application\nName=Pad\nExec=cat %U\nStartupWMClass=PadWin\n";
  for (const char* name : {"a.txt", "b.txt", "c.txt", "e.txt", "caf\xe9.txt", "Clear.txt"}) {
    touch(name);
  }
  std::vector<XbelBookmark> bookmarks{
      {fileUri("a.txt"), {{"viewer", "'cat %u'", "2026-01-03T10:00:00Z"}}},
      {fileUri("b.txt"), {{"org.example.Pad", "other %u", "2026-01-05T10:00:00Z"}}},
      {fileUri("c.txt"), {{"gedit", "gedit %u", "2026-01-09T10:00:00Z"}}},
      {fileUri("d.txt"), {{"Pad", "padprog", "2026-01-08T10:00:00Z"}}},  // deleted since
      {fileUri("e.txt"),
       {{"gedit", "gedit %u", "2026-01-02T00:00:00Z"}, {"PadWin", "x", "2026-01-04T10:00:00Z"}}},
      {fileUri("caf\xe9.txt"), {{"Pad", "'padprog %u'", "2026-01-01T10:00:00Z"}}},
      {"https://example.com/page", {{"Pad", "padprog", "2026-01-07T10:00:00Z"}}},
  };
  const fs::path list = root / "data/recently-used.xbel";
  std::ofstream(list) << xbelText(bookmarks);
  EXPECT_EQ(RecentlyUsedFile::parse(list.string()).documents.size(), 6u)
      << "web pages are not files";

  QtEventLoop::ensureApplication();
  RecentlyUsedFile recent(list.string(), log);
  DesktopEntryIndex entries;
  const Url padURL = Url::fileURL((applications / "org.example.Pad.desktop").string());
  workspace.addApplication(5, "org.example.Pad", "Pad").bundleURL = padURL;
  RecentDocumentsMenu menu(accessibility, workspace, entries, recent);
  const auto titles = [&] {
    std::vector<std::string> result;
    for (const AXElement& document : openRecent(menu, 5)) {
      result.push_back(std::get<std::string>(*menu.attribute(document, AX::title)));
    }
    return result;
  };
  // The list is parsed on a queue of its own.
  ASSERT_TRUE(QtEventLoop::runUntil([&] { return !titles().empty(); }, std::chrono::seconds(5)));
  EXPECT_EQ(titles(), (std::vector<std::string>{"b.txt", "e.txt", "a.txt", "caf\xef\xbf\xbd.txt"}))
      << "by desktop id, window class, executable and name; newest first; existing files only";

  // A writer replaces the file: the menu follows.
  touch("new.txt");
  bookmarks.push_back({fileUri("new.txt"), {{"Pad", "padprog", "2026-02-01T10:00:00Z"}}});
  std::ofstream(root / "data/.recently-used.tmp") << xbelText(bookmarks);
  fs::rename(root / "data/.recently-used.tmp", list);
  EXPECT_TRUE(QtEventLoop::runUntil([&] { return titles().front() == "new.txt"; },
                                    std::chrono::seconds(5)));

  const std::vector<AXElement> documents = openRecent(menu, 5);
  ASSERT_FALSE(documents.empty());
  EXPECT_TRUE(menu.performAction(documents.front(), AX::press));
  EXPECT_EQ(
      workspace.requests.back(),
      (FakeWorkspace::Request{"openDocuments", {padURL.absoluteString(), fileUri("new.txt")}}));
}

TEST_F(RecentDocumentsMenuTest, MalformedOrHugeListsGiveNoDocuments) {
  const fs::path path = root / "data/recently-used.xbel";
  std::ofstream(path) << "<xbel><bookmark href=\"file:///a\"><info>";
  std::string problem;
  EXPECT_TRUE(RecentlyUsedFile::parse(path.string(), &problem).documents.empty());
  EXPECT_FALSE(problem.empty());

  fs::resize_file(path, RecentlyUsedFile::sizeLimit + 1);
  problem.clear();
  EXPECT_TRUE(RecentlyUsedFile::parse(path.string(), &problem).documents.empty());
  EXPECT_NE(problem.find("not read"), std::string::npos);
  EXPECT_TRUE(RecentlyUsedFile::parse((root / "missing.xbel").string()).documents.empty());
}

}  // namespace
}  // namespace quayline
