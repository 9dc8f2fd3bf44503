#include "platform/linux/InotifyFolderWatch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "QtEventLoop.h"
#include "fakes/TemporaryHome.h"
#include "platform/linux/GioLauncher.h"

namespace quayline {
namespace {

using namespace std::chrono_literals;
using InotifyFolderWatchTest = TemporaryHome;

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

// The browser's way of writing its session: appends to a file it keeps open.
TEST_F(InotifyFolderWatchTest, OnlyWatchesOfWritesHearAppends) {
  QtEventLoop::ensureApplication();
  InotifyFolderWatch watch;
  const auto folder = root / "Sessions";
  std::filesystem::create_directories(folder);
  std::ofstream session(folder / "Session_1");
  session << "SNSS" << std::flush;

  int plain = 0;
  int writes = 0;
  const auto completed = watch.watch(folder.string(), [&](const std::string&) { ++plain; });
  const auto appended =
      watch.watchWrites(folder.string(), [&](const std::string& e) { writes += e == "Session_1"; });
  session << "more" << std::flush;
  EXPECT_TRUE(QtEventLoop::runUntil([&] { return writes > 0; }, 2000ms));
  QtEventLoop::runUntil([] { return false; }, 100ms);
  EXPECT_EQ(plain, 0);
}

TEST(GioLauncherQuoting, QuotesArgumentsForTheExecLine) {
  EXPECT_EQ(GioLauncher::quotedExecArgument("--profile-directory=Profile 1"),
            "\"--profile-directory=Profile 1\"");
  EXPECT_EQ(GioLauncher::quotedExecArgument("a\"b`c$d\\e%f"), "\"a\\\"b\\`c\\$d\\\\e%%f\"");
}

}  // namespace
}  // namespace quayline
