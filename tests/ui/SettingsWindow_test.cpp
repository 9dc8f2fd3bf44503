// The settings window offscreen: every pane's controls bound to their settings both ways, the
// pane navigation, the size slider's write rule and the reset question.
#include "ui/settings/SettingsWindow.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QStackedWidget>

#include "DockViewFixture.h"
#include "dock/DockEdgeAction.h"
#include "fakes/FakeApplicationBundle.h"
#include "fakes/FakeDesktopActions.h"
#include "fakes/FakeDistributedNotifications.h"
#include "fakes/FakeDockServices.h"
#include "fakes/FakeTrash.h"
#include "model/SystemDockPreferences.h"
#include "settings/IconStyleSettings.h"
#include "settings/SettingsWindowFrame.h"
#include "ui/settings/DockEdgeActionMenu.h"
#include "ui/settings/SettingsWindowController.h"

namespace quayline {
namespace {

// The services exist before the controller that is handed them.
struct StartedDock : FakeDockServices {
  StartedDock() { start(); }
};

class SettingsWindowTest : public ::testing::Test {
 protected:
  SettingsWindowTest() {
    testing::application();
    bundle.info.emplace("CFBundleName", PropertyValue("Quayline"));
    bundle.info.emplace("CFBundleShortVersionString", PropertyValue("0.1.0"));
    dock.domains.clearWrites();
  }

  SettingsWindow& open(std::optional<SettingsPane> pane = std::nullopt) {
    controller.show(pane);
    return *controller.window();
  }
  template <typename W = QWidget>
  W& control(const char* name) {
    SettingsWindow& window = *controller.window();
    auto* found = window.findChild<W*>(QString::fromUtf8(name));
    if (!found) {
      throw std::runtime_error(std::string("no control ") + name);
    }
    return *found;
  }
  SettingsPane shownPane() {
    const int index = control<QStackedWidget>("panes").currentIndex();
    EXPECT_EQ(control<QListWidget>("sidebar").currentRow(), index);
    return allCases<SettingsPane>()[static_cast<std::size_t>(index)];
  }
  std::int64_t storedTileSize() {
    const auto value = dock.domains.copy(SystemDockPreferences::domain, "tilesize");
    return value && value->integer() ? *value->integer() : -1;
  }

  StartedDock dock;
  FakeDistributedNotifications notifications;
  FakeDesktopActions desktop;
  DockEdgeActions edgeActions{desktop, dock.domains, dock.log};
  IconStyleSettings iconStyle{dock.workspace, "XFCE"};
  FakeApplicationBundle bundle;
  FakeConfirmations confirmations;
  int quits = 0;
  QWidget* permissionsContent = nullptr;
  SettingsWindowController controller{
      {dock.preferences, dock.domains, notifications, *dock.hidden, edgeActions, iconStyle, bundle,
       confirmations, [this] { ++quits; }},
      [this](QWidget* parent) {
        permissionsContent = new QLabel(QStringLiteral("rows"), parent);
        permissionsContent->setObjectName(QStringLiteral("permissionRows"));
        return permissionsContent;
      }};
};

TEST_F(SettingsWindowTest, OneWindowOfTheSpecifiedShapeWithEveryPaneAndTheMainMenu) {
  EXPECT_EQ(controller.window(), nullptr);
  SettingsWindow& window = open();
  EXPECT_EQ(&open(), &window);  // created once and kept
  EXPECT_EQ(window.windowTitle(), "Settings");
  EXPECT_EQ(window.size(), QSize(780, 540));
  EXPECT_EQ(window.minimumSize(), QSize(680, 440));
  EXPECT_EQ(window.windowType(), Qt::Window);  // an ordinary window, listed in the task list

  auto& sidebar = control<QListWidget>("sidebar");
  EXPECT_EQ(sidebar.minimumWidth(), 170);
  EXPECT_EQ(sidebar.maximumWidth(), 230);
  EXPECT_EQ(sidebar.width(), 190);
  QStringList titles;
  for (int row = 0; row < sidebar.count(); ++row) {
    titles << sidebar.item(row)->text();
  }
  EXPECT_EQ(titles, (QStringList{"General", "Behavior", "Hidden Apps", "Permissions", "About"}));
  EXPECT_EQ(shownPane(), SettingsPane::general);

  QStringList menus;
  for (QAction* menu : window.mainMenu().actions()) {
    QStringList items;
    for (QAction* item : menu->menu()->actions()) {
      if (!item->isSeparator()) {
        items << item->text();
      }
    }
    menus << menu->text() + ": " + items.join(", ");
  }
  EXPECT_EQ(menus,
            (QStringList{"Quayline: Settings, Quit Quayline",
                         "Edit: Undo, Redo, Copy, Paste, Select All", "Window: Minimize, Close"}));
  window.mainMenu().actions()[0]->menu()->actions().last()->trigger();
  EXPECT_EQ(quits, 1);

  // The Permissions pane holds what the permissions view built, under the pane's title.
  ASSERT_NE(permissionsContent, nullptr);
  EXPECT_TRUE(window.pane(SettingsPane::permissions).isAncestorOf(permissionsContent));
  // About reads the information dictionary.
  EXPECT_EQ(control<QLabel>("version").text(), "0.1.0");
  EXPECT_EQ(control<QLabel>("aboutSection:footer").text(),
            "Quayline gives every Chrome profile its own dock icon.");
}

TEST_F(SettingsWindowTest, ShowingWithAPaneSelectsItAlsoWhileTheWindowIsOpen) {
  open();
  open(SettingsPane::about);
  EXPECT_EQ(shownPane(), SettingsPane::about);
  EXPECT_EQ(controller.navigation().pane.get(), SettingsPane::about);
  control<QListWidget>("sidebar").setCurrentRow(1);
  EXPECT_EQ(controller.navigation().pane.get(), SettingsPane::behavior);
  EXPECT_EQ(shownPane(), SettingsPane::behavior);
  // Closed and opened without a pane: where it was.
  controller.window()->close();
  open();
  EXPECT_EQ(shownPane(), SettingsPane::behavior);
  controller.showDockActions();
  EXPECT_EQ(shownPane(), SettingsPane::general);
}

// Each row: the control, what the user does to it, the setting that results; then a change made
// elsewhere and what the control shows for it.
TEST_F(SettingsWindowTest, ControlsWriteOnlyWhenUsedAndFollowChangesMadeElsewhere) {
  open();
  Preferences& p = dock.preferences;
  const auto combo = [this](const char* name, int index) {
    auto& box = control<QComboBox>(name);
    box.setCurrentIndex(index);
    Q_EMIT box.activated(index);
  };
  const auto comboShows = [this](const char* name) {
    return control<QComboBox>(name).currentText().toStdString();
  };
  const auto click = [this](const char* name) { control<QAbstractButton>(name).click(); };
  const auto checked = [this](const char* name) {
    return control<QAbstractButton>(name).isChecked();
  };
  // Building and refreshing the panes wrote nothing.
  EXPECT_TRUE(dock.domains.writes(PreferenceDomains::application).empty());

  struct Row {
    const char* what;
    std::function<void()> use;
    std::function<bool()> stored;
    std::function<void()> elsewhere;
    std::function<bool()> shown;
  };
  const Row rows[] = {
      {"appearance", [&] { click("dark"); },
       [&] { return p.appearanceMode() == AppearanceMode::dark; },
       [&] { p.setAppearanceMode(AppearanceMode::light); }, [&] { return checked("light"); }},
      {"magnification", [&] { click("magnificationEnabled"); },
       [&] { return p.magnificationEnabled(); }, [&] { p.setMagnificationEnabled(false); },
       [&] { return !checked("magnificationEnabled"); }},
      {"display", [&] { combo("windowDisplayTarget", 0); },
       [&] { return p.windowDisplayTarget() == WindowDisplayTarget::primaryDisplay; },
       [&] { p.setWindowDisplayTarget(WindowDisplayTarget::followsPointer); },
       [&] { return comboShows("windowDisplayTarget") == "Follows pointer"; }},
      {"running apps", [&] { combo("runningAppsScope", 1); },
       [&] { return p.runningAppsScope() == RunningAppsScope::displayWithWindows; },
       [&] { p.setRunningAppsScope(RunningAppsScope::allDisplays); },
       [&] { return comboShows("runningAppsScope") == "On every dock"; }},
      {"left end",
       [&] { control<DockEdgeActionMenu>("leadingEdgeAction").menu()->actions()[0]->trigger(); },
       [&] { return p.leadingEdgeAction() == DockEdgeAction::none; },
       [&] { p.setLeadingEdgeAction(DockEdgeAction::missionControl); },
       [&] {
         return control<DockEdgeActionMenu>("leadingEdgeAction").text() == "Mission Control";
       }},
      {"right end",
       [&] { control<DockEdgeActionMenu>("trailingEdgeAction").menu()->actions()[1]->trigger(); },
       [&] { return p.trailingEdgeAction() == DockEdgeAction::showDesktop; },
       [&] { p.setTrailingEdgeAction(DockEdgeAction::none); },
       [&] { return control<DockEdgeActionMenu>("trailingEdgeAction").text() == "Nothing"; }},
      {"login", [&] { click("opensAtLogin"); }, [&] { return !p.opensAtLogin(); },
       [&] { p.setOpensAtLogin(true); }, [&] { return checked("opensAtLogin"); }},
      {"advanced", [&] { click("showsAdvancedSettings"); },
       [&] { return p.showsAdvancedSettings(); }, [&] { p.setShowsAdvancedSettings(true); },
       [&] { return checked("showsAdvancedSettings"); }},
      {"autohide", [&] { click("autohide"); }, [&] { return p.autohide(); },
       [&] { p.setAutohide(false); }, [&] { return !checked("autohide"); }},
      {"maximized", [&] { combo("maximizedWindowBehavior", 1); },
       [&] { return p.maximizedWindowBehavior() == MaximizedWindowBehavior::hideDock; },
       [&] { p.setMaximizedWindowBehavior(MaximizedWindowBehavior::ignore); },
       [&] { return comboShows("maximizedWindowBehavior") == "Do nothing"; }},
      {"previews", [&] { click("windowPreviewsEnabled"); },
       [&] { return !p.windowPreviewsEnabled(); }, [&] { p.setWindowPreviewsEnabled(true); },
       [&] { return checked("windowPreviewsEnabled"); }},
      {"delay", [&] { control<QSlider>("windowPreviewHoverDelaySlider").setValue(7); },
       [&] { return p.windowPreviewHoverDelay() == 0.7; },
       [&] { p.setWindowPreviewHoverDelay(0.2); },
       [&] {
         return control<QSlider>("windowPreviewHoverDelaySlider").value() == 2 &&
                control<QLabel>("windowPreviewHoverDelayText").text() == "0.2 s";
       }},
      {"click", [&] { combo("frontmostClickBehavior", 3); },
       [&] { return p.frontmostClickBehavior() == FrontmostClickBehavior::minimizesAllWindows; },
       [&] { p.setFrontmostClickBehavior(FrontmostClickBehavior::hidesApp); },
       [&] { return comboShows("frontmostClickBehavior") == "Hides the app"; }},
      {"switcher", [&] { click("windowSwitcherEnabled"); },
       [&] { return !p.windowSwitcherEnabled(); }, [&] { p.setWindowSwitcherEnabled(true); },
       [&] { return checked("windowSwitcherEnabled"); }},
      {"shortcut", [&] { combo("switcherUsesCommandTab", 1); },
       [&] { return p.switcherUsesCommandTab(); }, [&] { p.setSwitcherUsesCommandTab(false); },
       [&] { return comboShows("switcherUsesCommandTab") == "Option-Tab"; }},
  };
  for (const Row& row : rows) {
    row.use();
    EXPECT_TRUE(row.stored()) << row.what;
    row.elsewhere();
    EXPECT_TRUE(row.shown()) << row.what;
  }
  // Every write came from a use or from the change made elsewhere, one each.
  EXPECT_EQ(dock.domains.writes(PreferenceDomains::application).size(), 2 * std::size(rows));
}

TEST_F(SettingsWindowTest, RowsAndSectionsShowOnlyWhileTheirSettingCallsForThem) {
  SettingsWindow& window = open();
  window.show();
  Preferences& p = dock.preferences;
  const auto visible = [this](const char* name) {
    return control(name).isVisibleTo(controller.window());
  };
  EXPECT_FALSE(visible("advanced"));
  EXPECT_TRUE(visible("runningAppsScope"));
  EXPECT_FALSE(visible("customTintColor"));
  EXPECT_FALSE(control<QAbstractButton>("customTint").isChecked());

  p.setShowsAdvancedSettings(true);
  EXPECT_TRUE(visible("advanced"));
  p.setWindowDisplayTarget(WindowDisplayTarget::primaryDisplay);
  EXPECT_FALSE(visible("runningAppsScope"));
  // The tint's toggle sets a starting tint, whose colour row then shows.
  control<QAbstractButton>("customTint").click();
  EXPECT_TRUE(p.customTintColor().has_value());
  EXPECT_TRUE(visible("customTintColor"));
  p.setCustomTintColor(std::nullopt);
  EXPECT_FALSE(visible("customTintColor"));
  EXPECT_FALSE(control<QAbstractButton>("customTint").isChecked());
  // Hidden settings keep their values.
  p.setAutohide(true);
  p.setShowsAdvancedSettings(false);
  EXPECT_FALSE(visible("advanced"));
  EXPECT_TRUE(p.autohide());
  // No appearance program for this desktop: the row says where to go instead of a dead button.
  EXPECT_FALSE(visible("iconStyleButton"));
  EXPECT_TRUE(visible("iconStyleHint"));
}

TEST_F(SettingsWindowTest, TheSizeSliderWritesOnReleaseOnlyWhenTheRoundedSizeChanges) {
  dock.domains.seed(SystemDockPreferences::domain, "tilesize", PropertyValue(64));
  open();
  auto& slider = control<QSlider>("tileSizeSlider");
  EXPECT_EQ(slider.value(), 640);
  const auto drag = [&](int tenths) {
    slider.setSliderDown(true);
    slider.setValue(tenths);
    EXPECT_TRUE(dock.domains.writes(SystemDockPreferences::domain).empty()) << "while dragging";
    slider.setSliderDown(false);
  };
  drag(636);
  EXPECT_TRUE(dock.domains.writes(SystemDockPreferences::domain).empty());
  drag(704);
  EXPECT_EQ(storedTileSize(), 70);
  EXPECT_EQ(dock.domains.writes(SystemDockPreferences::domain).size(), 1u);
  EXPECT_EQ(notifications.posted.size(), 1u);

  // Another program changes the size: the slider follows.
  dock.domains.external(SystemDockPreferences::domain, "tilesize", PropertyValue(100));
  notifications.post(SystemDockPreferences::didChange);
  EXPECT_EQ(slider.value(), 1000);
  EXPECT_EQ(dock.domains.writes(SystemDockPreferences::domain).size(), 1u);
}

TEST_F(SettingsWindowTest, ResetAsksFirstAndCancelChangesNothing) {
  Preferences& p = dock.preferences;
  p.setShowsAdvancedSettings(true);
  p.setAutohide(true);
  open();
  control<QAbstractButton>("resetBehavior").click();
  ASSERT_EQ(confirmations.asked.size(), 1u);
  EXPECT_EQ(confirmations.asked[0].message, "Reset behavior settings?");
  EXPECT_EQ(confirmations.asked[0].informativeText,
            "Every setting goes back to its default. Your pinned apps are not affected.");
  EXPECT_EQ(confirmations.asked[0].confirmTitle, "Reset");
  EXPECT_TRUE(p.autohide());

  confirmations.answer = true;
  control<QAbstractButton>("resetBehavior").click();
  EXPECT_FALSE(p.autohide());
  EXPECT_FALSE(p.showsAdvancedSettings());
  EXPECT_FALSE(control<QAbstractButton>("autohide").isChecked());
}

TEST_F(SettingsWindowTest, HiddenAppsAreListedLiveAndShowBringsOneBack) {
  open(SettingsPane::hiddenApps);
  EXPECT_EQ(control<QLabel>("noHiddenApps").text(), "No apps are hidden.");
  dock.workspace.addApplication(40, "org.example.Mail", "Mail");
  dock.hidden->hide("org.example.Mail");
  auto& row = control("hidden:org.example.Mail");
  EXPECT_NE(row.findChild<QLabel*>()->text().indexOf("Mail"), -1);
  EXPECT_EQ(controller.window()->findChild<QLabel*>("noHiddenApps"), nullptr);
  row.findChild<QPushButton*>("show")->click();
  EXPECT_FALSE(dock.hidden->contains("org.example.Mail"));
  EXPECT_EQ(control<QLabel>("noHiddenApps").text(), "No apps are hidden.");
}

TEST_F(SettingsWindowTest, TheWindowReopensWhereItWasKeptOnScreen) {
  SettingsWindow& window = open();
  window.setGeometry(40, 30, 700, 460);
  window.close();
  EXPECT_EQ(SettingsWindowFrame::stored(dock.domains), Rect(40, 30, 700, 460));

  // A later run with a frame left on a display that is gone.
  dock.domains.seed(PreferenceDomains::application, SettingsWindowFrame::key,
                    PropertyValue("90000 90000 700 500"));
  SettingsWindowController later({dock.preferences, dock.domains, notifications, *dock.hidden,
                                  edgeActions, iconStyle, bundle, confirmations, nullptr},
                                 nullptr);
  later.show();
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(screen.contains(later.window()->geometry())) << later.window()->geometry().x();
  EXPECT_EQ(later.window()->size(), QSize(700, 500));
  EXPECT_NE(later.window()->findChild<QLabel*>("permissionsUnavailable"), nullptr);
}

}  // namespace
}  // namespace quayline
