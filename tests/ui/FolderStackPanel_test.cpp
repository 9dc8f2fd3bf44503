// The stack's panel measures itself for what it shows: five grid columns, a list between its
// bounds, a reason instead of items, a scrolled grid of the most items; its items open on click.
#include <QMouseEvent>

#include "DockViewFixture.h"
#include "platform/PanelWindowing.h"
#include "ui/stacks/FolderStackItemButton.h"
#include "ui/stacks/FolderStackPanelWindow.h"

namespace quayline::testing {
namespace {

class PlainWindowing final : public PanelWindowing {
 public:
  void prepareDockPanel(WindowId) override {}
  void panelShown(WindowId) override {}
  void keepOutOfTaskbar(WindowId) override {}
  void preparePopup(WindowId) override {}
  bool isComposited() override { return false; }
  Subscription observeCompositing(std::function<void(bool)>) override { return {}; }
  DesktopImage desktopBackground(const Rect&) override { return {}; }
  Subscription observeDesktopBackground(std::function<void()>) override { return {}; }
};

std::vector<FolderStackItem> items(int count) {
  std::vector<FolderStackItem> result;
  for (int i = 0; i < count; ++i) {
    const std::string path = "/home/u/Stack/File " + std::to_string(i);
    result.push_back(
        {Url::fileURL(path), path, "File " + std::to_string(i), false, {"text-x-generic"}});
  }
  return result;
}

class FolderStackPanelTest : public DockViewFixture {
 protected:
  PlainWindowing windowing;
  FolderStackPanelWindow panel{{windowing, icons, appearance, preferences}};
};

TEST_F(FolderStackPanelTest, MeasuresWhatItShows) {
  constexpr double grid = 2 * 12 + 5 * 84 + 4 * 4;
  const struct {
    const char* name;
    FolderStackContent content;
    double minimumWidth;
    double maximumWidth;
    std::size_t buttons;
  } cases[] = {
      {"grid", {"Stack", items(4), std::nullopt, FolderStackStyle::grid, 1}, grid, grid, 4},
      {"list", {"Stack", items(4), std::nullopt, FolderStackStyle::list, 1}, 260, 360, 4},
      {"unreadable",
       {"Stack", {}, "This folder can't be found.", FolderStackStyle::grid, 1},
       240,
       240,
       0},
      {"empty", {"Stack", {}, std::nullopt, FolderStackStyle::grid, 1}, 240, 240, 0},
      {"scrolled",
       {"Stack", items(120), std::nullopt, FolderStackStyle::grid, 1},
       grid + 1,
       grid + 30,
       120},
  };
  for (const auto& c : cases) {
    const Size size = panel.setContent(c.content);
    EXPECT_GE(size.width, c.minimumWidth) << c.name;
    EXPECT_LE(size.width, c.maximumWidth) << c.name;
    // Header and footer around at most 420 points of items.
    EXPECT_LT(size.height, 420 + 100) << c.name;
    EXPECT_EQ(panel.itemButtons().size(), c.buttons) << c.name;
  }
}

TEST_F(FolderStackPanelTest, AClickOnAnItemOpensIt) {
  std::vector<std::string> opened;
  panel.setEvents({[&](const FolderStackItem& item) { opened.push_back(item.name); }, [] {}});
  panel.setContent({"Stack", items(3), std::nullopt, FolderStackStyle::list, 1});
  FolderStackItemButton* button = panel.itemButtons().at(1);
  const QPointF centre = QRectF(button->rect()).center();
  QMouseEvent press(QEvent::MouseButtonPress, centre, button->mapToGlobal(centre), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, centre, button->mapToGlobal(centre),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(button, &press);
  QApplication::sendEvent(button, &release);
  EXPECT_EQ(opened, std::vector<std::string>{"File 1"});
}

}  // namespace
}  // namespace quayline::testing
