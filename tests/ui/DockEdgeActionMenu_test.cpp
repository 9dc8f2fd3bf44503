#include "ui/settings/DockEdgeActionMenu.h"

#include <gtest/gtest.h>

#include <QMenu>

#include "DockViewFixture.h"
#include "dock/DockEdgeAction.h"
#include "fakes/FakeDesktopActions.h"
#include "fakes/FakePreferenceDomains.h"
#include "fakes/FakeSystemLog.h"

namespace quayline {
namespace {

TEST(DockEdgeActionMenuTest, ListsEveryActionInOrderAndNeverOffersOneThatCannotRun) {
  testing::application();
  FakeDesktopActions desktop;
  desktop.stageReason = "no stage manager here";
  FakePreferenceDomains domains;
  FakeSystemLog log;
  const DockEdgeActions actions(desktop, domains, log);
  DockEdgeAction chosen = DockEdgeAction::missionControl;
  DockEdgeActionMenu menu({[&] { return chosen; }, [&](DockEdgeAction a) { chosen = a; }}, actions);

  EXPECT_EQ(menu.text(), "Mission Control");
  const auto items = menu.menu()->actions();
  ASSERT_EQ(items.size(), 4);
  EXPECT_EQ(items[0]->text(), "Nothing");
  EXPECT_EQ(items[1]->text(), "Show Desktop");
  EXPECT_TRUE(items[2]->isChecked());
  EXPECT_EQ(items[3]->text(), "Stage Manager — no stage manager here");
  EXPECT_FALSE(items[3]->isEnabled());

  items[1]->trigger();
  EXPECT_EQ(chosen, DockEdgeAction::showDesktop);
  EXPECT_EQ(menu.text(), "Show Desktop");
  EXPECT_TRUE(items[1]->isChecked());
  EXPECT_FALSE(items[2]->isChecked());
  // A disabled entry cannot be chosen.
  items[3]->trigger();
  EXPECT_EQ(chosen, DockEdgeAction::showDesktop);
}

}  // namespace
}  // namespace quayline
