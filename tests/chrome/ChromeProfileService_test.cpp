#include "chrome/ChromeProfileService.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "chrome/ChromeWindowEvidence.h"
#include "fakes/FakeAccessibility.h"
#include "fakes/FakeChromeInstances.h"
#include "fakes/FakeFolderWatch.h"
#include "fakes/FakeScheduler.h"
#include "fakes/FakeSystemLog.h"
#include "fakes/FakeWorkspace.h"
#include "foundation/SerialQueue.h"
#include "model/Tile.h"
#include "windows/WindowRegistry.h"

namespace quayline {
namespace {

namespace fs = std::filesystem;

constexpr ProcessId kBrowser = 8;

// Evidence the test hands out per window title.
class TitledEvidence final : public ChromeWindowEvidence {
 public:
  std::optional<std::string> profileDirectory(const AppWindow& window) override {
    const auto found = byTitle.find(window.title);
    return found == byTitle.end() ? std::nullopt : std::optional(found->second);
  }
  std::map<std::string, std::string> byTitle;
};

std::string localState(const std::string& infoCache) {
  return R"({"profile": {"profiles_order": ["Default", "Profile 1"], "info_cache": {)" + infoCache +
         "}}}";
}

const std::string kTwoProfiles = localState(
    R"("Default": {"name": "Work"}, "Profile 1": {"name": "Home"}, "Profile 2": {"name": "Home"},
       "Profile 3": {"name": "Old"})");

class ChromeProfileServiceTest : public ::testing::Test {
 protected:
  ChromeProfileServiceTest() {
    fs::remove_all(support);
    fs::create_directories(support);
    folders.watchable.insert(support.string());
    workspace.addApplication(kBrowser, std::string(kChromeBundleIdentifier), "Chromium", 1.0);
    workspace.addApplication(9, std::string(kChromeBundleIdentifier), "Chromium", 2.0);
    workspace.installed[std::string(kChromeBundleIdentifier)] =
        Url::fileURL("/usr/share/applications/chromium.desktop");
    instances.mainBrowser = kBrowser;
  }

  void write(const std::string& text) { std::ofstream(support / "Local State") << text; }

  // The service over these windows, with the file's profiles loaded.
  ChromeProfileService& start(const std::vector<std::pair<ProcessId, std::string>>& windows) {
    for (const auto& [pid, title] : windows) {
      accessibility.addWindow(pid, title, Rect(0, 0, 400, 300));
    }
    registry = std::make_unique<WindowRegistry>(workspace, accessibility, scheduler, queue, log);
    service = std::make_unique<ChromeProfileService>(
        ChromeProfileService::Services{scheduler, queue, workspace, *registry, instances, folders,
                                       evidence},
        ChromeInstallation{support.string(), "Chromium"});
    scheduler.runPosted();
    return *service;
  }

  std::vector<std::string> directories() {
    std::vector<std::string> result;
    for (const auto& profile : service->profiles()) {
      result.push_back(profile.directory);
    }
    return result;
  }

  static std::vector<std::string> titles(const std::vector<AppWindow>& windows) {
    std::vector<std::string> result;
    for (const auto& window : windows) {
      result.push_back(window.title);
    }
    return result;
  }

  const fs::path support = fs::path(::testing::TempDir()) / "chrome-profile-service";
  FakeWorkspace workspace;
  FakeAccessibility accessibility;
  FakeScheduler scheduler;
  InlineSerialQueue queue{"quayline.chrome-profiles"};
  FakeSystemLog log;
  FakeChromeInstances instances;
  FakeFolderWatch folders;
  TitledEvidence evidence;
  std::unique_ptr<WindowRegistry> registry;
  std::unique_ptr<ChromeProfileService> service;
};

TEST_F(ChromeProfileServiceTest, AttributesTheMainBrowsersWindows) {
  write(kTwoProfiles);
  evidence.byTitle = {{"New Tab - Chromium", "Profile 3"}, {"Gone - Chromium", "Profile 9"}};
  auto& chrome = start({{kBrowser, "Mail - Chromium - Work"},
                        {kBrowser, "Signing you in\u2026"},
                        {kBrowser, "  "},
                        {kBrowser, "Docs - Chromium - Home"},  // two people named Home
                        {kBrowser, "New Tab - Chromium"},
                        {kBrowser, "Gone - Chromium"},
                        {kBrowser, "Wiki - Chromium"},
                        {9, "Test - Chromium - Work"}});
  EXPECT_EQ(chrome.collisions(), (std::set<std::string>{"Home"}));
  EXPECT_EQ(titles(chrome.windows("Default")),
            (std::vector<std::string>{"Mail - Chromium - Work"}));
  EXPECT_EQ(titles(chrome.windows("Profile 3")), (std::vector<std::string>{"New Tab - Chromium"}));
  EXPECT_EQ(chrome.liveProfileDirectories(), (std::vector<std::string>{"Default", "Profile 3"}));
  EXPECT_FALSE(chrome.hasLiveWindows("Profile 1"));
  EXPECT_EQ(
      titles(chrome.unattributedWindows()),
      (std::vector<std::string>{"Docs - Chromium - Home", "Gone - Chromium", "Wiki - Chromium"}));

  // A secondary instance alone is no main browser: nothing belongs to the plain tile.
  instances.mainBrowser.reset();
  EXPECT_TRUE(chrome.unattributedWindows().empty());
  EXPECT_TRUE(chrome.liveProfileDirectories().empty());
}

TEST_F(ChromeProfileServiceTest, PrefersTheMainWindowThenOneOnScreen) {
  write(kTwoProfiles);
  const auto add = [&](const std::string& title, bool minimized, bool main) {
    auto window = accessibility.addWindow(kBrowser, title);
    window->attributes.insert_or_assign("AXMinimized", minimized);
    window->attributes.insert_or_assign("AXMain", main);
  };
  add("A - Chromium - Work", true, true);
  add("B - Chromium - Work", false, false);
  add("C - Chromium - Work", false, true);
  add("D - Chromium - Old", true, false);
  add("E - Chromium - Old", true, true);
  auto& chrome = start({});
  EXPECT_EQ(chrome.preferredWindow("Default")->title, "C - Chromium - Work");
  EXPECT_EQ(chrome.preferredWindow("Profile 3")->title, "D - Chromium - Old");
  EXPECT_EQ(chrome.preferredWindow("Profile 1"), std::nullopt);
}

TEST_F(ChromeProfileServiceTest, ReloadsOnceAfterABurstAndKeepsTheLastGoodProfiles) {
  write(kTwoProfiles);
  auto& chrome = start({});
  EXPECT_EQ(directories(),
            (std::vector<std::string>{"Default", "Profile 1", "Profile 2", "Profile 3"}));
  int changes = 0;
  const auto observed = chrome.observeProfiles([&] { ++changes; });

  write(localState(R"("Default": {"name": "Work"})"));
  for (int event = 0; event < 5; ++event) {
    folders.change(support.string(), "Local State");
    scheduler.advance(0.1);
  }
  folders.change(support.string(), "Last Version");  // other entries are not the profiles
  scheduler.advance(0.15);                           // 0.25 s after the last write
  scheduler.runPosted();
  EXPECT_EQ(changes, 0);
  scheduler.advance(0.1);
  scheduler.runPosted();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(directories(), (std::vector<std::string>{"Default"}));

  // Caught mid-write: the profiles stay. Gone: there are none.
  write(R"({"profile": {"info_ca)");
  folders.change(support.string(), "Local State");
  scheduler.advance(0.3);
  scheduler.runPosted();
  EXPECT_EQ(directories(), (std::vector<std::string>{"Default"}));
  fs::remove(support / "Local State");
  folders.change(support.string(), "Local State");
  scheduler.advance(0.3);
  scheduler.runPosted();
  EXPECT_TRUE(directories().empty());
  EXPECT_EQ(changes, 2);
}

TEST_F(ChromeProfileServiceTest, WatchesTheFolderOnceTheBrowserCreatesIt) {
  fs::remove_all(support);
  folders.watchable.clear();
  auto& chrome = start({});
  EXPECT_TRUE(chrome.profiles().empty());
  EXPECT_EQ(folders.watchers(), 0u);

  fs::create_directories(support);
  folders.watchable.insert(support.string());
  write(kTwoProfiles);
  workspace.notify(WorkspaceNotification::Kind::didLaunchApplication, workspace.running[0]);
  EXPECT_EQ(folders.watchers(), 1u);
  scheduler.advance(0.3);
  scheduler.runPosted();
  EXPECT_EQ(chrome.profiles().size(), 4u);
}

TEST_F(ChromeProfileServiceTest, OpensWindowsOnlyInKnownProfiles) {
  write(kTwoProfiles);
  auto& chrome = start({});
  chrome.openNewWindow("Profile 1");
  chrome.openNewWindow("Profile 7");
  EXPECT_EQ(
      workspace.requests,
      (std::vector<FakeWorkspace::Request>{
          {"openWithArguments",
           {"file:///usr/share/applications/chromium.desktop", "--profile-directory=Profile 1"}}}));
}

}  // namespace
}  // namespace quayline
