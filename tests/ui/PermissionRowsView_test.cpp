#include "ui/permissions/PermissionRowsView.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include "DockViewFixture.h"
#include "fakes/FakePrivacyPermissions.h"
#include "fakes/FakeScheduler.h"

namespace quayline {
namespace {

QStringList visibleTexts(QWidget& row) {
  QStringList texts;
  for (auto* label : row.findChildren<QLabel*>()) {
    if (label->isVisibleTo(&row)) {
      texts << label->text();
    }
  }
  return texts;
}

TEST(PermissionRowsViewTest, RowsFollowTheGrantsOnlyWhileShownAndButtonsAct) {
  testing::application();
  FakePrivacyPermissions permissions;
  permissions.grant(SystemPermission::fullDiskAccess);
  permissions.state.reasons[SystemPermission::accessibility] = "No window manager is running.";
  FakeScheduler scheduler;
  PermissionRows rows(permissions);
  QWidget pane;
  auto* view = new PermissionRowsView(rows, scheduler, &pane);

  pane.show();
  auto* accessibility = view->findChild<QWidget*>("permission:accessibility");
  auto* screen = view->findChild<QWidget*>("permission:screenRecording");
  ASSERT_NE(accessibility, nullptr);
  ASSERT_NE(screen, nullptr);
  EXPECT_TRUE(visibleTexts(*accessibility).contains("No window manager is running."));
  EXPECT_TRUE(
      visibleTexts(*view->findChild<QWidget*>("permission:fullDiskAccess")).contains("Granted"));

  permissions.grant(SystemPermission::accessibility);
  scheduler.advance(1);
  EXPECT_TRUE(visibleTexts(*accessibility).contains("Granted"));
  EXPECT_FALSE(visibleTexts(*accessibility).contains("No window manager is running."));

  auto* allow = screen->findChild<QPushButton*>();
  ASSERT_TRUE(allow->isVisibleTo(screen));
  EXPECT_EQ(allow->text(), "Allow…");
  allow->click();
  EXPECT_EQ(permissions.requests, std::vector{SystemPermission::screenRecording});
  EXPECT_TRUE(visibleTexts(*screen).contains("Reopen Quayline to finish"));
  EXPECT_EQ(allow->text(), "Open System Settings…");

  pane.hide();
  const int checks = permissions.checks;
  scheduler.advance(10);
  EXPECT_EQ(permissions.checks, checks);
}

}  // namespace
}  // namespace quayline
