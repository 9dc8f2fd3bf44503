#include "previews/WindowPreviewController.h"

#include <gtest/gtest.h>

#include "dock/MenuTracking.h"
#include "dock/TileWindows.h"
#include "fakes/FakeDockServices.h"
#include "fakes/FakeWindowCapture.h"
#include "previews/PreviewPanel.h"
#include "previews/WindowThumbnailer.h"

namespace quayline {
namespace {

using Kind = WorkspaceNotification::Kind;

// Records what the controller asks of the panel and lets the test play the user's part.
struct RecordingPanel final : PreviewPanel {
  void setEvents(Events value) override { events = std::move(value); }
  void present(const PreviewPresentation& presentation, bool rebuild) override {
    shown = presentation;
    visible = true;
    rebuilds += rebuild ? 1 : 0;
  }
  void dismiss() override { visible = false; }
  bool isVisible() const override { return visible; }

  Events events;
  std::optional<PreviewPresentation> shown;
  bool visible = false;
  int rebuilds = 0;
};

class WindowPreviewControllerTest : public testing::Test {
 protected:
  WindowPreviewControllerTest() {
    fakes.displays.list = {Screen{7, Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 900), 2}};
    fakes.workspace.addApplication(10, "org.example.Editor", "Editor");
    fakes.workspace.addApplication(20, "org.example.Viewer", "Viewer");
    report = window(10, "Report.txt \u2014 Documents", 101);
    window(10, "", 102, /*minimized=*/true);
    window(20, "Picture", 201);
    fakes.start();
    fakes.refresh();
    for (WindowNumber number : {101u, 102u, 201u}) {
      capture.add(number, Rect(0, 0, 800, 600), 0xff000000 | number);
    }
    controller = std::make_unique<WindowPreviewController>(WindowPreviewController::Services{
        fakes.preferences, *fakes.registry, tileWindows(*fakes.registry, fakes.profiles),
        fakes.workspace, fakes.accessibility, fakes.displays, menus, fakes.scheduler, thumbnails,
        panel});
  }

  FakeAccessibility::NodePtr window(ProcessId pid, const std::string& title, std::uint32_t number,
                                    bool minimized = false) {
    auto node = fakes.accessibility.addWindow(pid, title, Rect(100, 100, 800, 600));
    node->attributes.insert_or_assign("AXMinimized", minimized);
    node->windowNumber = number;
    return node;
  }

  static TileHover hover(const std::string& bundle, ProcessIdentifier pid) {
    AppTile app{bundle, bundle, Url::fileURL("/apps/" + bundle + ".desktop"), pid};
    return TileHover{Tile{"running:" + bundle, app, TileSection::running}, Rect(700, 0, 64, 90), 7};
  }

  void advance(double seconds) {
    fakes.scheduler.advance(seconds);
    fakes.scheduler.runPosted();
  }

  // Rests the pointer on the editor's tile until its preview shows.
  void openEditor() {
    controller->tileEntered(editor);
    advance(0.3);
    ASSERT_TRUE(panel.visible);
  }

  FakeDockServices fakes;
  FakeAccessibility::NodePtr report;
  FakeWindowCapture capture;
  InlineSerialQueue lane{"lane"};
  WindowThumbnailer thumbnails{capture, fakes.scheduler, {&lane}, fakes.log};
  MenuTracking menus;
  RecordingPanel panel;
  std::unique_ptr<WindowPreviewController> controller;
  const TileHover editor = hover("org.example.Editor", 10);
  const TileHover viewer = hover("org.example.Viewer", 20);
};

TEST_F(WindowPreviewControllerTest, OpensAfterTheDelayWithACardPerWindow) {
  controller->tileEntered(editor);
  advance(0.29);
  EXPECT_FALSE(panel.visible);
  advance(0.01);
  ASSERT_TRUE(panel.visible);
  const PreviewPresentation& shown = *panel.shown;
  ASSERT_EQ(shown.cards.size(), 2u);
  EXPECT_EQ(shown.cards[0].primary, "Documents");
  EXPECT_EQ(shown.cards[0].secondary, "Report.txt");
  EXPECT_EQ(shown.cards[0].id(), "w:101");
  // An untitled window is captioned with the application's name; its identifier hashes the
  // window's own (empty) title.
  EXPECT_EQ(shown.cards[1].primary, "Editor");
  EXPECT_EQ(shown.cards[1].secondary, "Editor");
  EXPECT_EQ(shown.cards[1].accessibilityIdentifier, "preview:10:811c9dc5");
  EXPECT_EQ(shown.layout.columns, 2);
  EXPECT_EQ(shown.scale, 2);
  // Centred 8 points above the tile.
  EXPECT_EQ(shown.frame, Rect(732 - 230, 98, 460, 197));
  EXPECT_EQ(thumbnails.images().size(), 2u);
  EXPECT_EQ(thumbnails.image(101)->size, (Size{166.5, 125}));  // 333 × 250 pixels
}

TEST_F(WindowPreviewControllerTest, MovingBetweenTilesSwitchesAtOnceAndLeavingClosesLater) {
  openEditor();
  controller->tileExited(editor.tile);
  controller->tileEntered(viewer);
  ASSERT_EQ(panel.shown->cards.size(), 1u);
  EXPECT_EQ(panel.shown->cards[0].window.pid, 20);

  controller->tileExited(viewer.tile);
  advance(0.79);
  EXPECT_TRUE(panel.visible);
  panel.events.pointerEntered();  // into the panel: it stays
  advance(2);
  EXPECT_TRUE(panel.visible);
  panel.events.pointerExited();
  advance(0.8);
  EXPECT_FALSE(panel.visible);
  EXPECT_FALSE(controller->presented());
}

TEST_F(WindowPreviewControllerTest, EveryClosingCauseHidesAtOnce) {
  const std::vector<std::pair<const char*, std::function<void()>>> causes = {
      {"menu", [&] { menus.didBeginTracking(); }},
      {"screens", [&] { fakes.displays.screensChanged(); }},
      {"desktop", [&] { fakes.workspace.notify(Kind::activeSpaceDidChange); }},
      {"escape or outside click", [&] { panel.events.escapeOrClickOutside(); }},
      {"previews off", [&] { fakes.preferences.setWindowPreviewsEnabled(false); }},
  };
  for (const auto& [name, cause] : causes) {
    menus.didEndTracking();
    fakes.preferences.setWindowPreviewsEnabled(true);
    controller->tileExited(editor.tile);
    openEditor();
    cause();
    EXPECT_FALSE(panel.visible) << name;
    EXPECT_FALSE(controller->presented()) << name;
  }
  // While a menu is open nothing opens.
  menus.didBeginTracking();
  controller->tileExited(editor.tile);
  controller->tileEntered(editor);
  advance(1);
  EXPECT_FALSE(panel.visible);
}

TEST_F(WindowPreviewControllerTest, ACardClickBringsItsWindowForward) {
  openEditor();
  const PreviewCard minimized = panel.shown->cards[1];
  panel.events.cardClicked(minimized);
  EXPECT_FALSE(panel.visible);
  ASSERT_EQ(fakes.accessibility.writes.size(), 1u);
  EXPECT_EQ(fakes.accessibility.writes[0].attribute, "AXMinimized");
  EXPECT_EQ(fakes.accessibility.writes[0].value, AXValue(false));
  ASSERT_EQ(fakes.accessibility.actions.size(), 1u);
  EXPECT_EQ(fakes.accessibility.actions[0].name, "AXRaise");
  EXPECT_EQ(fakes.workspace.requests.back(),
            (FakeWorkspace::Request{"activate", {std::to_string(10)}}));
}

TEST_F(WindowPreviewControllerTest, HeldButtonsNegativeDelaysAndTilesWithoutWindows) {
  fakes.displays.buttons = 1;
  controller->tileEntered(editor);
  advance(1);
  EXPECT_FALSE(panel.visible);
  fakes.displays.buttons = 0;

  controller->tileExited(editor.tile);
  fakes.preferences.setWindowPreviewHoverDelay(-4);
  controller->tileEntered(editor);
  advance(0);
  EXPECT_TRUE(panel.visible);

  // A tile without windows never opens a preview, and one that is shown closes after a while.
  controller->tileExited(editor.tile);
  controller->tileEntered(hover("org.example.Absent", 99));
  EXPECT_TRUE(panel.visible);
  advance(0.8);
  EXPECT_FALSE(panel.visible);
}

TEST_F(WindowPreviewControllerTest, CardsFollowTheWindowsWithoutCapturingAgainForATitle) {
  openEditor();
  const std::size_t captured = capture.captures.size();
  const int rebuilds = panel.rebuilds;
  fakes.refresh();  // nothing changed: the view stays
  EXPECT_EQ(panel.rebuilds, rebuilds);

  report->attributes.insert_or_assign("AXTitle", std::string("Notes.txt \u2014 Documents"));
  fakes.refresh();
  EXPECT_EQ(panel.shown->cards[0].secondary, "Notes.txt");
  EXPECT_EQ(panel.rebuilds, rebuilds + 1);
  EXPECT_EQ(capture.captures.size(), captured);

  window(10, "Third", 103);
  capture.add(103, Rect(0, 0, 800, 600), 0xff000067);
  fakes.refresh();
  EXPECT_EQ(panel.shown->cards.size(), 3u);
  EXPECT_GT(capture.captures.size(), captured);
}

TEST(PreviewFrame, StaysInsideTheScreen) {
  const Rect screen(0, 0, 1440, 900);
  const Rect visible(0, 0, 1440, 870);
  EXPECT_EQ(previewFrame(Rect(1400, 0, 64, 90), {472, 197}, screen, visible),
            Rect(1440 - 8 - 472, 98, 472, 197));
  EXPECT_EQ(previewFrame(Rect(-20, 0, 64, 90), {472, 197}, screen, visible), Rect(8, 98, 472, 197));
  EXPECT_EQ(previewFrame(Rect(700, 700, 64, 90), {472, 197}, screen, visible),
            Rect(496, 870 - 197, 472, 197));
}

}  // namespace
}  // namespace quayline
