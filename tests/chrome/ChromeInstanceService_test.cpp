#include "chrome/ChromeInstanceService.h"

#include <gtest/gtest.h>

#include "chrome/ProcessArgumentsBuffer.h"
#include "fakes/FakeProcesses.h"
#include "fakes/FakeWorkspace.h"
#include "model/Tile.h"

namespace quayline {
namespace {

using Strings = std::vector<std::string>;

std::string buffer(std::int32_t argc, std::string_view rest) {
  std::string result(4, '\0');
  for (int byte = 0; byte < 4; ++byte) {
    result[static_cast<std::size_t>(byte)] =
        static_cast<char>((static_cast<std::uint32_t>(argc) >> (8 * byte)) & 0xff);
  }
  return result.append(rest);
}

TEST(ProcessArgumentsBuffer, ReadsArgvAndStopsAtEveryMalformedEnd) {
  using namespace std::string_view_literals;
  const struct {
    const char* what;
    std::string bytes;
    Strings expected;
  } rows[] = {
      {"argv after path and padding, environment left out",
       buffer(2, "/bin/chrome\0\0\0chrome\0--user-data-dir=/x\0HOME=/root\0"sv),
       {"chrome", "--user-data-dir=/x"}},
      {"path without NUL", buffer(2, "/bin/chrome"sv), {}},
      {"nothing after the padding", buffer(2, "/bin/chrome\0\0\0"sv), {}},
      {"argc beyond the strings present", buffer(9, "/c\0a\0b\0"sv), {"a", "b"}},
      {"last string without NUL dropped", buffer(3, "/c\0a\0b"sv), {"a"}},
      {"argc zero", buffer(0, "/c\0a\0"sv), {}},
      {"argc negative", buffer(-1, "/c\0a\0"sv), {}},
      {"shorter than five bytes", std::string("\1\0\0\0", 4), {}},
      {"invalid UTF-8 replaced", buffer(1, "/c\0a\xff\0"sv), {"a\xEF\xBF\xBD"}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(parseProcessArgumentsBuffer(row.bytes), row.expected) << row.what;
  }
}

TEST(ChromeInstanceName, LookupTableThenTheLastMeaningfulPiece) {
  const std::pair<const char*, const char*> rows[] = {
      {"/tmp/my_test-profile/Default", "My Test Profile"},
      {"/Users/a/Library/Caches/ms-playwright/x", "Playwright"},
      {"/tmp/profile/data", "Chrome"},
      {"", "Chrome"},
      {"/home/u/.cache/Chrome-DevTools-x", "DevTools MCP"},
      {"/home/u/SELENIUM", "Selenium"},
      {"/srv/work..BENCH__runs/Temp/", "Work Bench Runs"},
  };
  for (const auto& [path, name] : rows) {
    EXPECT_EQ(ChromeInstanceService::name(path), name) << path;
  }
}

class ChromeInstanceServiceTest : public ::testing::Test {
 protected:
  void browser(ProcessId pid, std::optional<double> launched, Strings arguments) {
    workspace.addApplication(pid, std::string(kChromeBundleIdentifier), "Chromium", launched);
    processes.commandLines[pid] = std::move(arguments);
  }

  FakeWorkspace workspace;
  FakeProcesses processes;
  ChromeInstanceService service{workspace, processes};
};

TEST_F(ChromeInstanceServiceTest, MainBrowserIsTheEarliestWithoutADataDirectory) {
  EXPECT_EQ(service.mainBrowserProcessIdentifier(), std::nullopt);
  browser(10, 1.0, {"chromium"});
  workspace.running.back().activationPolicy = ActivationPolicy::accessory;
  browser(30, 5.0, {"chromium", "--user-data-dir=/tmp/puppeteer_x"});
  EXPECT_EQ(service.mainBrowserProcessIdentifier(), std::nullopt);
  browser(20, 9.0, {"chromium"});
  browser(21, 9.0, {"chromium"});
  EXPECT_EQ(service.mainBrowserProcessIdentifier(), 20);  // equal dates: listed first
  browser(22, std::nullopt, {});                          // unreadable arguments count as none
  EXPECT_EQ(service.mainBrowserProcessIdentifier(), 22);
}

TEST_F(ChromeInstanceServiceTest, SecondaryInstancesByLaunchDateWithTheLastDirectory) {
  browser(40, 8.0, {"chromium", "--user-data-dir=/tmp/a", "--user-data-dir=/tmp/selenium-1"});
  browser(41, 3.0, {"chromium", "--user-data-dir="});
  browser(42, 1.0, {"chromium"});
  EXPECT_EQ(service.secondaryInstances(),
            (std::vector<ChromeInstance>{{41, "", "Chrome"}, {40, "/tmp/selenium-1", "Selenium"}}));
  EXPECT_EQ(service.userDataDirectory(40), "/tmp/selenium-1");
  EXPECT_EQ(service.userDataDirectory(42), std::nullopt);
}

TEST_F(ChromeInstanceServiceTest, CommandLinesAreReadOncePerProcessAndLaunch) {
  browser(50, 1.0, {"chromium"});
  service.mainBrowserProcessIdentifier();
  service.secondaryInstances();
  EXPECT_EQ(processes.argumentReads[50], 1);

  // The id comes back for another process, started later with its own directory.
  workspace.running.clear();
  browser(50, 2.0, {"chromium", "--user-data-dir=/tmp/t"});
  EXPECT_EQ(service.mainBrowserProcessIdentifier(), std::nullopt);
  EXPECT_EQ(processes.argumentReads[50], 2);
}

TEST_F(ChromeInstanceServiceTest, PastTheLimitOnlyRunningBrowsersStayCached) {
  for (ProcessId pid = 100; pid < 100 + static_cast<ProcessId>(ChromeInstanceService::cacheLimit);
       ++pid) {
    browser(pid, 2.0, {"chromium", "--user-data-dir=/tmp/" + std::to_string(pid)});
    service.secondaryInstances();
    workspace.running.pop_back();
  }
  EXPECT_EQ(service.cachedCommandLines(), ChromeInstanceService::cacheLimit);
  browser(1, 1.0, {"chromium"});
  browser(7, 3.0, {"chromium"});
  EXPECT_EQ(service.mainBrowserProcessIdentifier(), 1);
  EXPECT_EQ(service.cachedCommandLines(), 2u);
  service.mainBrowserProcessIdentifier();
  EXPECT_EQ(processes.argumentReads[1], 1);
}

}  // namespace
}  // namespace quayline
