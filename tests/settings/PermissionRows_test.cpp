#include "settings/PermissionRows.h"

#include <gtest/gtest.h>

#include "fakes/FakePrivacyPermissions.h"
#include "fakes/FakeScheduler.h"

namespace quayline {
namespace {

using P = SystemPermission;

struct Expected {
  P permission;
  bool granted;
  bool requested;  // screen recording pressed once before
  const char* status;
  const char* button;
};

TEST(PermissionRows, StatusAndButtonOfEachPermissionGrantedOrNot) {
  const Expected table[] = {
      {P::accessibility, true, false, "Granted", ""},
      {P::accessibility, false, false, "Not granted", "Open System Settings…"},
      {P::screenRecording, true, true, "Granted", ""},
      {P::screenRecording, false, false, "Off", "Allow…"},
      {P::screenRecording, false, true, "Reopen Quayline to finish", "Open System Settings…"},
      // The Part's algorithm says "Off" where its edge-case list says "Not granted".
      {P::fullDiskAccess, false, false, "Off", "Open System Settings…"},
      {P::fullDiskAccess, true, false, "Granted", ""},
      {P::finderAutomation, false, false, "Off", "Allow…"},
      {P::finderAutomation, true, false, "Granted", ""},
  };
  for (const Expected& e : table) {
    FakePrivacyPermissions permissions;
    PermissionRows rows(permissions);
    if (e.requested) {
      rows.press(P::screenRecording);
    }
    if (e.granted) {
      permissions.grant(e.permission);
    }
    const PermissionRow row = rows.row(e.permission, permissions.check());
    SCOPED_TRACE(row);
    EXPECT_EQ(row.status, e.status);
    EXPECT_EQ(row.buttonTitle, e.button);
    EXPECT_EQ(row.granted, e.granted);
    EXPECT_EQ(row.identifier, "permission:" + std::string(rawValue(e.permission)));
    EXPECT_EQ(row.tag, e.permission == P::accessibility ? "" : "Optional");
  }
}

TEST(PermissionRows, InDisplayOrderWithTheSpecifiedTitles) {
  FakePrivacyPermissions permissions;
  const auto rows = PermissionRows(permissions).rows({});
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].title, "Accessibility");
  EXPECT_EQ(rows[1].title, "Screen Recording");
  EXPECT_EQ(rows[2].title, "Full Disk Access");
  EXPECT_EQ(rows[3].title, "Finder");
  EXPECT_EQ(rows[3].description, "Lets the dock ask the Finder to empty the Trash.");
}

TEST(PermissionRows, AReasonReplacesTheButtonThatCouldNotHelp) {
  FakePrivacyPermissions permissions;
  permissions.state.reasons[P::accessibility] = "No window manager is running.";
  PermissionRows rows(permissions);
  const auto row = rows.row(P::accessibility, permissions.check());
  EXPECT_EQ(row.status, "Not granted");
  EXPECT_EQ(row.buttonTitle, "");
  EXPECT_EQ(row.reason, "No window manager is running.");
}

TEST(PermissionRows, ScreenRecordingIsRequestedOnceForTheRunThenItsPageOpens) {
  FakePrivacyPermissions permissions;
  PermissionRows rows(permissions);
  rows.press(P::screenRecording);
  rows.press(P::screenRecording);
  rows.press(P::finderAutomation);
  rows.press(P::accessibility);
  EXPECT_TRUE(rows.screenRecordingRequested());
  EXPECT_EQ(permissions.requests,
            (std::vector<P>{P::screenRecording, P::finderAutomation, P::accessibility}));
  EXPECT_EQ(permissions.settingsOpened, (std::vector<P>{P::screenRecording}));
}

TEST(PermissionRows, RefreshesEverySecondWhileWatchedAndRedrawsOnlyOnChange) {
  FakePrivacyPermissions permissions;
  FakeScheduler scheduler;
  PermissionRows rows(permissions);
  std::vector<std::vector<PermissionRow>> drawn;
  auto watching = rows.watch(scheduler, [&](const auto& now) { drawn.push_back(now); });
  ASSERT_EQ(drawn.size(), 1u);
  scheduler.advance(3);
  EXPECT_EQ(permissions.checks, 4);
  EXPECT_EQ(drawn.size(), 1u);

  permissions.grant(P::accessibility);
  scheduler.advance(1);
  ASSERT_EQ(drawn.size(), 2u);
  EXPECT_EQ(drawn.back()[0].status, "Granted");
  rows.press(P::screenRecording);
  scheduler.advance(1);
  ASSERT_EQ(drawn.size(), 3u);
  EXPECT_EQ(drawn.back()[1].status, "Reopen Quayline to finish");

  watching.reset();
  scheduler.advance(5);
  EXPECT_EQ(permissions.checks, 6);
  EXPECT_EQ(scheduler.pendingTimers(), 0u);
}

}  // namespace
}  // namespace quayline
