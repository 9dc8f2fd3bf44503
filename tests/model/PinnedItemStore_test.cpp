#include "model/PinnedItemStore.h"

#include <gtest/gtest.h>

#include "fakes/FakeFileManager.h"
#include "fakes/FakePaths.h"
#include "fakes/FakePreferenceDomains.h"
#include "fakes/FakeSystemLog.h"
#include "model/DockFixtures.h"
#include "model/SystemDockPreferences.h"
#include "platform/PreferenceDomains.h"

namespace quayline {
namespace {

using testing::dockEntry;
using testing::spacerEntry;
constexpr auto kApp = PreferenceDomains::application;

PropertyValue data(std::string_view text) {
  return PropertyValue(PropertyData(text.begin(), text.end()));
}

class PinnedItemStoreTest : public ::testing::Test {
 protected:
  PinnedItemStoreTest() {
    paths.downloads = "/home/u/Downloads";
    files.existing.insert("/home/u/Downloads");
  }
  void systemDock(const char* key, PropertyValue::Array entries) {
    domains.seed(SystemDockPreferences::domain, key, PropertyValue(std::move(entries)));
  }
  PinnedItemStore load() { return PinnedItemStore(domains, files, paths, log); }
  std::optional<std::string> stored(std::string_view key) {
    auto value = domains.copy(kApp, key);
    if (!value || !value->data()) {
      return std::nullopt;
    }
    return std::string(value->data()->begin(), value->data()->end());
  }

  FakePreferenceDomains domains;
  FakeFileManager files;
  FakePaths paths;
  FakeSystemLog log;
};

TEST_F(PinnedItemStoreTest, FirstRunSeedsFromTheSystemDock) {
  files.addApplication("/apps/web.desktop", "org.example.Web", "Web");
  files.addApplication("/apps/web-old.desktop", "org.example.Web", "Web");
  systemDock(
      "persistent-apps",
      {dockEntry("file-tile", "file:///apps/web.desktop", "org.example.Web"), spacerEntry(true),
       dockEntry("file-tile", "file:///apps/removed.desktop", "org.example.Removed"),
       dockEntry("file-tile", "file:///apps/web-old.desktop", "org.example.Web"),
       dockEntry("directory-tile", "file:///home/u/Projects/")});
  systemDock("persistent-others", {dockEntry("directory-tile", "file:///home/u/Music/"),
                                   dockEntry("file-tile", "file:///home/u/a.pdf", "x.pdf")});
  auto store = load();
  EXPECT_EQ(store.pinned(),
            (std::vector<PinnedItem>{PinnedApp{"org.example.Web", "/apps/web.desktop"},
                                     PinnedSpacer{true}, PinnedFolder{"/home/u/Projects"}}));
  EXPECT_EQ(store.trailing(), std::vector<PinnedItem>{PinnedFolder{"/home/u/Music"}});
  EXPECT_EQ(stored(PinnedItemStore::pinnedKey), encodePinnedList(store.pinned()));
  EXPECT_EQ(stored(PinnedItemStore::trailingKey), encodePinnedList(store.trailing()));
}

TEST_F(PinnedItemStoreTest, EmptySystemDockGivesDownloadsOrNothing) {
  EXPECT_TRUE(load().pinned().empty());
  EXPECT_EQ(load().trailing(), std::vector<PinnedItem>{PinnedFolder{"/home/u/Downloads"}});

  FakePreferenceDomains fresh;
  files.existing.clear();  // no Downloads folder on disk
  PinnedItemStore store(fresh, files, paths, log);
  EXPECT_TRUE(store.trailing().empty());
  EXPECT_EQ(fresh.copy(kApp, PinnedItemStore::trailingKey), data("[]"));
}

TEST_F(PinnedItemStoreTest, StoredListsAreDeduplicatedButNotRewritten) {
  domains.seed(
      kApp, PinnedItemStore::pinnedKey,
      data(R"([{"kind":"folder","path":"/a"},{"kind":"spacer"},{"kind":"folder","path":"/a"},)"
           R"({"kind":"spacer"},{"kind":"spacer","small":true}])"));
  domains.seed(kApp, PinnedItemStore::trailingKey, data("[]"));
  auto store = load();
  EXPECT_EQ(store.pinned(), (std::vector<PinnedItem>{PinnedFolder{"/a"}, PinnedSpacer{},
                                                     PinnedSpacer{}, PinnedSpacer{true}}));
  EXPECT_TRUE(store.trailing().empty());  // stored empty is not replaced by Downloads
  EXPECT_TRUE(domains.writes(kApp).empty());
}

TEST_F(PinnedItemStoreTest, AllInvalidEntriesLoadEmptyWithoutReseeding) {
  files.addApplication("/apps/web.desktop", "org.example.Web", "Web");
  systemDock("persistent-apps",
             {dockEntry("file-tile", "file:///apps/web.desktop", "org.example.Web")});
  domains.seed(kApp, PinnedItemStore::pinnedKey, data(R"([{"kind":"rocket"}])"));
  EXPECT_TRUE(load().pinned().empty());
  EXPECT_EQ(stored(PinnedItemStore::pinnedKey), R"([{"kind":"rocket"}])");
}

TEST_F(PinnedItemStoreTest, UnreadableListIsReseededAndKeptAside) {
  files.addApplication("/apps/web.desktop", "org.example.Web", "Web");
  systemDock("persistent-apps",
             {dockEntry("file-tile", "file:///apps/web.desktop", "org.example.Web")});
  domains.seed(kApp, PinnedItemStore::pinnedKey, data(R"({"kind":"folder"})"));
  domains.seed(kApp, PinnedItemStore::trailingKey, data(R"([{"kind":"folder","path":"/t"}])"));
  auto store = load();
  EXPECT_EQ(store.pinned(),
            (std::vector<PinnedItem>{PinnedApp{"org.example.Web", "/apps/web.desktop"}}));
  EXPECT_EQ(stored("quayline.pinnedItems.unreadable"), R"({"kind":"folder"})");
  EXPECT_EQ(log.messagesIn("pinned").size(), 1u);
  // The trailing list is loaded on its own and left as it was.
  EXPECT_EQ(store.trailing(), std::vector<PinnedItem>{PinnedFolder{"/t"}});
  EXPECT_EQ(stored(PinnedItemStore::trailingKey), R"([{"kind":"folder","path":"/t"}])");
}

TEST_F(PinnedItemStoreTest, ReplaceWritesOnlyRealChanges) {
  domains.seed(kApp, PinnedItemStore::pinnedKey, data(R"([{"kind":"folder","path":"/a"}])"));
  domains.seed(kApp, PinnedItemStore::trailingKey, data("[]"));
  auto store = load();
  store.replace({PinnedFolder{"/a"}, PinnedFolder{"/a"}}, TileSection::pinned);
  EXPECT_TRUE(domains.writes(kApp).empty());

  store.replace({PinnedFolder{"/b"}, PinnedFolder{"/b"}}, TileSection::running);
  EXPECT_EQ(store.pinned(), std::vector<PinnedItem>{PinnedFolder{"/b"}});
  store.replace({PinnedSpacer{}}, TileSection::trailing);
  EXPECT_EQ(stored(PinnedItemStore::pinnedKey), R"([{"kind":"folder","path":"/b"}])");
  EXPECT_EQ(stored(PinnedItemStore::trailingKey), R"([{"kind":"spacer","small":false}])");
  EXPECT_EQ(domains.writes(kApp).size(), 2u);
}

TEST_F(PinnedItemStoreTest, ReloadTakesInWhatAnotherProgramStoredWithoutWriting) {
  domains.seed(kApp, PinnedItemStore::pinnedKey, data(R"([{"kind":"folder","path":"/a"}])"));
  domains.seed(kApp, PinnedItemStore::trailingKey, data(R"([{"kind":"folder","path":"/t"}])"));
  auto store = load();
  EXPECT_FALSE(store.reload());

  domains.external(kApp, PinnedItemStore::pinnedKey,
                   data(R"([{"kind":"spacer"},{"kind":"folder","path":"/a"},)"
                        R"({"kind":"folder","path":"/a"}])"));
  domains.external(kApp, PinnedItemStore::trailingKey, data("not json"));
  EXPECT_TRUE(store.reload());
  EXPECT_EQ(store.pinned(), (std::vector<PinnedItem>{PinnedSpacer{}, PinnedFolder{"/a"}}));
  // An unreadable or removed list keeps what the dock shows; nothing is reseeded or written.
  EXPECT_EQ(store.trailing(), std::vector<PinnedItem>{PinnedFolder{"/t"}});
  domains.external(kApp, PinnedItemStore::trailingKey, std::nullopt);
  EXPECT_FALSE(store.reload());
  EXPECT_EQ(store.trailing(), std::vector<PinnedItem>{PinnedFolder{"/t"}});
  EXPECT_TRUE(domains.writes(kApp).empty());
  EXPECT_EQ(log.messagesIn("pinned").size(), 1u);
}

}  // namespace
}  // namespace quayline
