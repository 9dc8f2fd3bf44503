#include "platform/linux/InotifyFolderWatch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "LinuxTestEnvironment.h"
#include "QtEventLoop.h"
#include "platform/linux/GioLauncher.h"

namespace quayline {
namespace {

using namespace std::chrono_literals;
using InotifyFolderWatchTest = LinuxTestEnvironment;

// The browser's way of writing "Local State": a temporary file renamed over it.
TEST_F(InotifyFolderWatchTest, SeesAFileReplacedByRenameUntilTheWatchEnds) {
  QtEventLoop::ensureApplication();
  InotifyFolderWatch watch;
  const auto folder = root / "chromium";
  EXPECT_FALSE(watch.watch(folder.string(), [](const std::string&) {}).active());
  std::filesystem::create_directories(folder);

  std::vector<std::string> entries;
  auto subscription =
      watch.watch(folder.string(), [&](const std::string& e) { entries.push_back(e); });
  ASSERT_TRUE(subscription.active());
  std::ofstream(folder / "Local State.tmp") << "{}";
  std::filesystem::rename(folder / "Local State.tmp", folder / "Local State");
  ASSERT_TRUE(QtEventLoop::runUntil(
      [&] { return std::count(entries.begin(), entries.end(), "Local State") == 1; }, 2000ms));

  subscription.reset();
  entries.clear();
  std::ofstream(folder / "Local State") << "{\"x\": 1}";
  QtEventLoop::runUntil([] { return false; }, 100ms);
  EXPECT_TRUE(entries.empty());
}

TEST(GioLauncherQuoting, QuotesArgumentsForTheExecLine) {
  EXPECT_EQ(GioLauncher::quotedExecArgument("--profile-directory=Profile 1"),
            "\"--profile-directory=Profile 1\"");
  EXPECT_EQ(GioLauncher::quotedExecArgument("a\"b`c$d\\e%f"), "\"a\\\"b\\`c\\$d\\\\e%%f\"");
}

}  // namespace
}  // namespace quayline
