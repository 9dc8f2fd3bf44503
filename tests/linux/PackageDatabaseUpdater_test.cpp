#include "platform/linux/PackageDatabaseUpdater.h"

#include <gtest/gtest.h>

#include "fakes/FakeProcesses.h"
#include "system/UpdateService.h"

namespace quayline {
namespace {

const std::string owner = "/usr/bin/dpkg-query -S /usr/bin/quayline";
const std::string version = "/usr/bin/dpkg-query -W -f ${Version} quayline";

TEST(PackageDatabaseUpdaterTest, TheReportNamesThePackageOrSaysThereIsNone) {
  struct Row {
    std::map<std::string, Processes::Output> outputs;
    std::string textStart;
  };
  const Row rows[] = {
      {{{owner, {0, "quayline: /usr/bin/quayline\n"}}, {version, {0, "0.1.0-1"}}},
       "Quayline 0.1.0 is installed from the package \"quayline\", version 0.1.0-1.\n\nUpdates "
       "come through your system's software updates."},
      {{{owner, {1, ""}}}, "This copy of Quayline (0.1.0) was not installed from a package.\n\n"},
      {{},
       "This copy of Quayline (0.1.0) was not installed from a package as far as can be "
       "told: the package database cannot be read (no dpkg-query).\n\n"},
      {{{owner, {0, "quayline: /usr/bin/quayline\n"}}, {version, {1, ""}}},
       "This copy of Quayline (0.1.0) was not installed from a package as far as can be told: "
       "the package database has no version for quayline."},
  };
  for (const auto& row : rows) {
    FakeProcesses processes;
    processes.outputs = row.outputs;
    PackageDatabaseUpdater updater(processes, "/usr/bin/quayline");
    UpdateService service(updater, "0.1.0");
    const auto report = service.checkForUpdates();
    EXPECT_EQ(report.title, "Check for Updates");
    EXPECT_TRUE(report.text.starts_with(row.textStart)) << report.text;
    EXPECT_TRUE(processes.launches.empty()) << "never a detached process, never a shell";
  }
}

}  // namespace
}  // namespace quayline
