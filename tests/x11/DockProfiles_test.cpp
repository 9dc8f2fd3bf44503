// The browser's profiles in the real dock, with a stand-in browser: a test client whose windows
// match the browser's desktop entry, a generated "Local State" with two profiles and a session
// file that names one window's page.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "chrome/SessionWriter.h"
#include "foundation/FileReading.h"
#include "support/RunningDock.h"
#include "support/X11Environment.h"

namespace quayline::x11test {
namespace {

namespace fs = std::filesystem;

TEST(DockProfiles, ProfileTilesThePlainTileAndANewWindowInAProfile) {
  const fs::path root = X11Environment::instance().root() / "browser";
  fs::create_directories(root);
  // Where the dock and its listings find the browser's data: the test home's configuration.
  const fs::path data = X11Environment::instance().root() / "config" / "chromium";
  fs::create_directories(data / "Default" / "Sessions");
  fs::create_directories(data / "Profile 1");
  std::ofstream(data / "Local State") << R"({"profile": {"profiles_order": ["Default", "Profile 1"],
      "info_cache": {"Default": {"name": "Work"}, "Profile 1": {"name": "Home"}}}})";
  // The browser's session of the "Work" profile shows the page of the first window.
  std::ofstream(data / "Default" / "Sessions" / "Session_13300000000000000", std::ios::binary)
      << SessionWriter().tab(1, 10, 0, u"Page 1").selected(1, 0).active(1).bytes();

  // Asked for a window, the browser's command hands the request to the running browser and
  // ends: the stand-in writes down what it was asked.
  const fs::path requests = root / "requests";
  const fs::path command = root / "chromium-command";
  std::ofstream(command) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done >> '"
                         << requests.string() << "'\n";
  fs::permissions(command, fs::perms::owner_all);
  const InstalledEntry entry("chromium.desktop",
                             "[Desktop Entry]\nType=Application\n"
                             "Name=Chromium\nStartupWMClass=Chromium\nExec=" +
                                 command.string() + " %U\n");
  TestClient browser({"--title", "Page", "--windows", "2", "--class", "chromium,Chromium"});

  RunningDock dock({.pinned = std::vector<PinnedItem>{PinnedChromeProfile{"Profile 1"}},
                    .trailing = std::vector<PinnedItem>{}});
  ASSERT_TRUE(dock.started()) << dock.logText();

  // "Page 1" is the Work profile's; "Page 2" belongs to no profile the evidence can name.
  ASSERT_TRUE(waitUntil([&] {
    return dock.tile("chrome-profile:Default") && dock.tile("running:com.google.Chrome");
  })) << dock.describeRow()
      << dock.logText();
  const auto pinned = dock.tile("pinned:chrome-profile:Profile 1");
  ASSERT_TRUE(pinned) << dock.describeRow();
  EXPECT_EQ(pinned->label, "Home");
  EXPECT_FALSE(pinned->running);
  EXPECT_EQ(dock.tile("chrome-profile:Default")->label, "Work");

  // A profile without windows: the click asks the browser, once, for a window in it.
  ASSERT_TRUE(dock.click("pinned:chrome-profile:Profile 1")) << dock.describeRow();
  EXPECT_TRUE(waitUntil([&] { return fs::exists(requests); })) << dock.logText();
  waitUntil([] { return false; }, std::chrono::milliseconds(500));
  EXPECT_EQ(readFile(requests).value_or(""), "--profile-directory=Profile 1\n");
}

}  // namespace
}  // namespace quayline::x11test
