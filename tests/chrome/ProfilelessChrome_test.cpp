#include "chrome/ProfilelessChrome.h"

#include <gtest/gtest.h>

#include "fakes/FakeAccessibility.h"
#include "fakes/FakeFileManager.h"
#include "fakes/FakePaths.h"
#include "fakes/FakePreferenceDomains.h"
#include "fakes/FakeScheduler.h"
#include "fakes/FakeSystemLog.h"
#include "fakes/FakeWorkspace.h"
#include "foundation/SerialQueue.h"
#include "model/HiddenApps.h"
#include "model/TileStore.h"
#include "windows/WindowRegistry.h"

namespace quayline {
namespace {

class ProfilelessChromeTest : public ::testing::Test {
 protected:
  std::vector<std::string> ids() {
    HiddenApps hidden(domains, workspace);
    WindowRegistry registry(workspace, accessibility, scheduler, queue, log);
    scheduler.runPosted();
    FirstChromeInstance instances(workspace);
    ProfilelessChrome profiles(registry);
    TileStore store(std::make_unique<PinnedItemStore>(domains, files, paths, log), workspace,
                    instances, profiles, hidden, registry, files);
    std::vector<std::string> result;
    for (const auto& tile : store.tiles()) {
      result.push_back(tile.id);
    }
    return result;
  }

  FakePreferenceDomains domains;
  FakeWorkspace workspace;
  FakeAccessibility accessibility;
  FakeScheduler scheduler;
  InlineSerialQueue queue{"quayline.window-registry"};
  FakeSystemLog log;
  FakeFileManager files;
  FakePaths paths;
};

TEST_F(ProfilelessChromeTest, TheMainBrowserIsTheFirstRegularBrowserProcess) {
  FirstChromeInstance instances(workspace);
  EXPECT_EQ(instances.mainBrowserProcessIdentifier(), std::nullopt);
  workspace.addApplication(7, "com.google.Chrome", "Chromium").activationPolicy =
      ActivationPolicy::accessory;
  workspace.addApplication(8, "com.google.Chrome", "Chromium");
  workspace.addApplication(9, "com.google.Chrome", "Chromium");
  EXPECT_EQ(instances.mainBrowserProcessIdentifier(), 8);
  EXPECT_TRUE(instances.secondaryInstances().empty());
}

TEST_F(ProfilelessChromeTest, ARunningBrowserKeepsOnePlainTile) {
  workspace.addApplication(8, "com.google.Chrome", "Chromium", 100);
  accessibility.addWindow(8, "Start page - Chromium", Rect(0, 0, 800, 600));
  const auto running = ids();
  EXPECT_NE(std::find(running.begin(), running.end(), "running:com.google.Chrome"), running.end());

  const std::string json = encodePinnedList({PinnedApp{"com.google.Chrome", std::nullopt}});
  domains.seed(PreferenceDomains::application, PinnedItemStore::pinnedKey,
               PropertyValue(PropertyData(json.begin(), json.end())));
  const auto pinned = ids();
  EXPECT_EQ(pinned[1], "pinned:app:com.google.Chrome");
  // The pinned tile stands for the running browser; no second tile in the running section.
  EXPECT_EQ(std::count(pinned.begin(), pinned.end(), "running:com.google.Chrome"), 0);
}

}  // namespace
}  // namespace quayline
