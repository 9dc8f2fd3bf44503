#include "system/InstallLocation.h"

#include <gtest/gtest.h>

#include "fakes/FakeInstallPlace.h"

namespace quayline {
namespace {

using Placement = InstallLocation::Placement;

TEST(InstallLocationTest, OnlyAnInstalledCopyOnAFixedWritableDiskStays) {
  struct Row {
    RunningCopy copy;
    Placement expected;
  };
  const Row rows[] = {
      {{"/usr"}, Placement::installed},
      {{"/home/ada/.local"}, Placement::installed},
      {{"/opt/quayline"}, Placement::installed},
      {{"/mediathek/quayline"}, Placement::installed},  // a folder named like media, not under it
      {{"/home/ada/src/quayline/build/stage", true}, Placement::buildTree},
      // A build tree on a stick is still a build tree.
      {{"/media/ada/STICK/build/stage", true, false, true}, Placement::buildTree},
      {{"/media/ada/STICK/quayline"}, Placement::removableMedia},
      {{"/run/media/ada/STICK/quayline"}, Placement::removableMedia},
      {{"/mnt/usb/quayline", false, false, true}, Placement::removableMedia},
      {{"/mnt/usb/quayline", false, true, true}, Placement::removableMedia},
      {{"/mnt/iso/quayline", false, true}, Placement::readOnlyImage},
      {{"/tmp/.mount_QuaylXyz/usr", false, true, false, true}, Placement::readOnlyImage},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(InstallLocation::classify(row.copy), row.expected) << row.copy.prefix;
  }
}

TEST(InstallLocationTest, MovingInstallsForThisUserUnlessACopyRunsThere) {
  FakeInstallPlace place;
  place.copy = {"/media/ada/STICK/quayline"};
  InstallLocation location(place);
  EXPECT_TRUE(location.needsMove());
  EXPECT_EQ(location.whyNotInstalled(), "it runs from removable media (/media/ada/STICK/quayline)");

  EXPECT_EQ(location.moveToApplications(),
            InstallLocation::MoveResult(InstallLocation::Moved{"/home/tester/.local"}));

  place.installError = "No space left on device";
  EXPECT_EQ(location.moveToApplications(),
            InstallLocation::MoveResult(InstallLocation::Failed{"No space left on device"}));

  // A copy already running from there is never touched.
  place.installs.clear();
  place.runningElsewhere = "/home/tester/.local";
  EXPECT_EQ(location.moveToApplications(), InstallLocation::MoveResult(InstallLocation::Failed{
                                               std::string(InstallLocation::alreadyOpenMessage)}));
  EXPECT_TRUE(place.installs.empty());
}

}  // namespace
}  // namespace quayline
