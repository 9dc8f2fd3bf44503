#include "model/SystemDockPreferences.h"

#include <gtest/gtest.h>

#include <cmath>

#include "fakes/FakeDistributedNotifications.h"
#include "fakes/FakeFileManager.h"
#include "fakes/FakePreferenceDomains.h"
#include "fakes/FakeProcesses.h"
#include "model/DockFixtures.h"

namespace quayline {
namespace {

using namespace SystemDockPreferences;
using testing::dockEntry;
using testing::spacerEntry;

class SystemDockImport : public ::testing::Test {
 protected:
  std::vector<Item> read(PropertyValue::Array entries, const char* key, bool appsAllowed) {
    domains.external(domain, key, PropertyValue(std::move(entries)));
    return tiles(domains, files, key, appsAllowed);
  }
  FakePreferenceDomains domains;
  FakeFileManager files;
};

TEST_F(SystemDockImport, ApplicationEntries) {
  files.addApplication("/usr/share/applications/org.example.Mail.desktop", "org.example.Mail",
                       "Mail");
  // An empty stored identifier is not replaced by the bundle's.
  PropertyValue emptyIdentifier =
      dockEntry("file-tile", "file:///usr/share/applications/org.example.Mail.desktop");
  (*emptyIdentifier.dictionary())["tile-data"].dictionary()->emplace("bundle-identifier",
                                                                     PropertyValue(""));
  const auto items = read(
      {
          dockEntry("file-tile", "file:///usr/share/applications/org.example.Mail.desktop/",
                    "com.example.stored"),
          // Without an identifier, the bundle's own is used.
          dockEntry("file-tile", "file:///usr/share/applications/org.example.Mail.desktop"),
          // A missing tile type counts as a file tile; a plain path is a path.
          dockEntry("", "/usr/share/applications/org.example.Mail.desktop"),
          // No identifier and no bundle: nothing.
          dockEntry("file-tile", "file:///nowhere/Gone.desktop"),
          dockEntry("file-tile", "", "com.example.nourl"),
          dockEntry("recents-tile", "file:///x", "com.example.recents"),
          PropertyValue("not a dictionary"),
          emptyIdentifier,
      },
      "persistent-apps", true);
  const Url mail = Url::fileURL("/usr/share/applications/org.example.Mail.desktop");
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0], Item(App{"com.example.stored", *Url::parse("file:///usr/share/applications/"
                                                                 "org.example.Mail.desktop/")}));
  EXPECT_EQ(items[1], Item(App{"org.example.Mail", mail}));
  EXPECT_EQ(items[2], Item(App{"org.example.Mail", mail}));
}

TEST_F(SystemDockImport, OthersSideImportsFoldersAndSpacersOnly) {
  const auto items = read(
      {
          dockEntry("directory-tile", "file:///home/u/Downloads/"),
          dockEntry("file-tile", "file:///home/u/report.pdf", "com.example.pdf"),
          dockEntry("directory-tile", "/home/u/My%20Files"),
          dockEntry("directory-tile", ""),
          spacerEntry(false),
          spacerEntry(true),
      },
      "persistent-others", false);
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(std::get<Folder>(items[0]).url.path(), "/home/u/Downloads");
  EXPECT_EQ(std::get<Folder>(items[1]).url.path(), "/home/u/My%20Files");  // a path, not a URL
  EXPECT_EQ(items[2], Item(Spacer{false}));
  EXPECT_EQ(items[3], Item(Spacer{true}));
}

TEST_F(SystemDockImport, MissingOrMistypedListsAreEmptyAndEachReadIsFresh) {
  EXPECT_TRUE(tiles(domains, files, "persistent-apps", true).empty());
  domains.external(domain, "persistent-apps", PropertyValue("oops"));
  EXPECT_TRUE(tiles(domains, files, "persistent-apps", true).empty());
  domains.external(domain, "persistent-others",
                   PropertyValue(PropertyValue::Array{spacerEntry(true)}));
  EXPECT_EQ(tiles(domains, files, "persistent-others", false).size(), 1u);
}

TEST(SystemDockFileURL, RejectsWhatIsNotAURLOrPath) {
  auto tileData = [](PropertyValue fileData) {
    return PropertyValue(PropertyValue::Dictionary{{"file-data", std::move(fileData)}});
  };
  auto withString = [&](PropertyValue string) {
    return tileData(PropertyValue(PropertyValue::Dictionary{{"_CFURLString", std::move(string)}}));
  };
  EXPECT_FALSE(fileURL(PropertyValue(PropertyValue::Dictionary{})));
  EXPECT_FALSE(fileURL(tileData(PropertyValue("file:///x"))));
  EXPECT_FALSE(fileURL(withString(PropertyValue(""))));
  EXPECT_FALSE(fileURL(withString(PropertyValue(3))));
  EXPECT_FALSE(fileURL(withString(PropertyValue("file://host with space/x"))));
  EXPECT_EQ(fileURL(withString(PropertyValue("file:///A%20B/")))->path(), "/A B");
  EXPECT_EQ(fileURL(withString(PropertyValue("/plain/path")))->path(), "/plain/path");
}

TEST(SystemDockEdge, ReadsTheThreeEdgesAndDefaultsToBottom) {
  FakePreferenceDomains domains;
  EXPECT_EQ(orientation(domains), Edge::bottom);
  for (auto [stored, expected] :
       {std::pair{"left", Edge::left}, std::pair{"right", Edge::right},
        std::pair{"bottom", Edge::bottom}, std::pair{"Left", Edge::bottom},
        std::pair{"top", Edge::bottom}}) {
    domains.external(domain, "orientation", PropertyValue(stored));
    EXPECT_EQ(orientation(domains), expected) << stored;
  }
  domains.external(domain, "orientation", PropertyValue(true));
  EXPECT_EQ(orientation(domains), Edge::bottom);
}

TEST(SystemDockWrites, OrientationToBottomRelaunchesTheDock) {
  FakePreferenceDomains domains;
  FakeProcesses processes;
  processes.failAllLaunches = true;  // no killall: ignored
  setOrientationToBottom(domains, processes);
  EXPECT_EQ(domains.copy(domain, "orientation"), PropertyValue("bottom"));
  ASSERT_EQ(processes.launches.size(), 1u);
  EXPECT_EQ(processes.launches[0].executable, "/usr/bin/killall");
  EXPECT_EQ(processes.launches[0].arguments, std::vector<std::string>{"Dock"});
  EXPECT_EQ(processes.launches[0].standardError, Processes::StandardError::discard);
}

TEST(SystemDockWrites, TileSizeIsRoundedAndAnnounced) {
  FakePreferenceDomains domains;
  FakeDistributedNotifications notifications;
  int heard = 0;
  auto subscription = notifications.observe(didChange, [&] { ++heard; });
  setTileSize(domains, notifications, 47.6);
  EXPECT_EQ(domains.copy(domain, "tilesize"), PropertyValue(48));
  setTileSize(domains, notifications, 40.5);
  EXPECT_EQ(domains.copy(domain, "tilesize"), PropertyValue(41));
  EXPECT_EQ(heard, 2);
  EXPECT_GE(domains.synchronizeCount(domain), 2);
  setTileSize(domains, notifications, std::nan(""));
  EXPECT_EQ(domains.copy(domain, "tilesize"), PropertyValue(41));
}

}  // namespace
}  // namespace quayline
