#include "ui/dock/DockView.h"

#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <cmath>

#include "ui/DockViewFixture.h"
#include "ui/dock/DockRowView.h"
#include "ui/dock/TileBadgeView.h"
#include "ui/dock/TileElement.h"

namespace quayline {
namespace {

using testing::DockViewFixture;

const std::string kMail = "com.example.mail";
const std::string kNotes = "com.example.notes";

Tile appTile(const std::string& bundle, const std::string& name) {
  return Tile{"pinned:" + bundle, AppTile{bundle, name}};
}
Tile divider() {
  return Tile{"divider:trailing", DividerTile{}, TileSection::trailing};
}
Tile spacer() {
  return Tile{"pinned:spacer:1", SpacerTile{false}};
}
Tile trashTile() {
  return Tile{"trailing:trash", TrashTile{}, TileSection::trailing};
}

bool near(const QColor& color, int r, int g, int b, int a, int tolerance = 3) {
  return std::abs(color.red() - r) <= tolerance && std::abs(color.green() - g) <= tolerance &&
         std::abs(color.blue() - b) <= tolerance && std::abs(color.alpha() - a) <= tolerance;
}

std::string describe(const QColor& color) {
  return "rgba(" + std::to_string(color.red()) + "," + std::to_string(color.green()) + "," +
         std::to_string(color.blue()) + "," + std::to_string(color.alpha()) + ")";
}

class DockViewTest : public DockViewFixture {
 protected:
  // Mail (running), Notes, a spacer, a divider and the trash; sized like the panel at rest.
  DockView& show(double tileSize, std::vector<Tile> tiles = {}) {
    if (tiles.empty()) {
      tiles = {appTile(kMail, "Mail"), appTile(kNotes, "Notes"), spacer(), divider(), trashTile()};
    }
    view = std::make_unique<DockView>(context);
    const DockLayout layout{tileSize};
    view->render(tiles, layout, std::nullopt);
    view->resize(static_cast<int>(layout.rowWidth(tiles) + 4),
                 static_cast<int>(layout.windowHeight()));
    view->show();
    return *view;
  }
  DockRowView& row() { return view->row(); }
  std::size_t indexOf(const std::string& id) {
    for (std::size_t i = 0; i < row().entries().size(); ++i) {
      if (row().entries()[i].tile.id == id) {
        return i;
      }
    }
    throw std::runtime_error("no tile " + id);
  }
  // A point on bare glass: the middle of the (invisible) spacer.
  QPoint bareGlass() { return row().tileFrame(indexOf("pinned:spacer:1")).center().toPoint(); }

  void runMail() {
    workspace.addApplication(40, kMail, "Mail", 40);
    workspace.notify(WorkspaceNotification::Kind::didLaunchApplication, workspace.running.back());
    scheduler.runPosted();
  }

  DockViewContext context{*store,    attention,    preferences, icons,  appearance,
                          *registry, profiles,     displays,    badges, trash,
                          hovers,    *interaction, menus};
  std::unique_ptr<DockView> view;
};

TEST_F(DockViewTest, TilesSitInTheirSlotsOnGlassOfTheRowsSize) {
  show(64);
  // 66 + 66 + 66 + 32 + 66 = 296 wide, 2 points of glass margin at each end.
  EXPECT_EQ(view->size(), QSize(300, 83));
  EXPECT_EQ(row().glassRect(), QRectF(0, 0, 300, 78));
  EXPECT_EQ(row().geometry().glassCornerRadius, 28);
  EXPECT_EQ(row().tileFrame(0), QRectF(2, 0, 66, 78));
  EXPECT_EQ(row().tileFrame(3), QRectF(200, 0, 32, 78));
  EXPECT_EQ(row().tileFrame(4), QRectF(232, 0, 66, 78));
  // Icons stand on a 7-point margin, centred in their slot.
  EXPECT_EQ(row().iconRect(0), QRectF(3, 7, 64, 64));
  EXPECT_EQ(row().element(0)->geometry(), QRect(2, 0, 66, 78));

  const QImage image = grab(*view);
  EXPECT_EQ(image.pixelColor(150, 80).alpha(), 0) << "the 5-point gap under the row is clear";
  EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0) << "rounded corner";
  EXPECT_EQ(image.pixelColor(2, 2).alpha(), 0) << "a radius of 28 leaves this corner clear";
  EXPECT_GT(image.pixelColor(28, 2).alpha(), 100);
  EXPECT_GT(image.pixelColor(150, 40).alpha(), 100);
  image.save("/tmp/quayline-dock-64.png");
}

TEST_F(DockViewTest, DividerIsAThinLineNineTenthsOfTheTileHigh) {
  show(64);
  const QImage image = grab(*view);
  const int x = static_cast<int>(std::floor(row().tileFrame(3).center().x() - 0.5));
  const QColor glass = image.pixelColor(x - 4, 39);
  int darker = 0;
  for (int y = 0; y < 78; ++y) {
    if (image.pixelColor(x, y).lightness() < glass.lightness() - 10) {
      ++darker;
    }
  }
  EXPECT_NEAR(darker, 57.6, 1.0);
  EXPECT_TRUE(
      near(image.pixelColor(x + 1, 39), glass.red(), glass.green(), glass.blue(), glass.alpha()))
      << "one point wide";
}

TEST_F(DockViewTest, RunningDotUnderLitIconsOnly) {
  runMail();
  show(64);
  ASSERT_TRUE(row().entries()[0].placement.isLit);
  ASSERT_FALSE(row().entries()[1].placement.isLit);
  const QImage image = grab(*view);
  const QRectF mail = row().iconRect(0);
  const QRectF notes = row().iconRect(1);
  // The dot is 4 points wide, its bottom 3 points below the icon's.
  const QColor lit =
      image.pixelColor(static_cast<int>(mail.center().x()), static_cast<int>(mail.bottom()) + 1);
  const QColor unlit =
      image.pixelColor(static_cast<int>(notes.center().x()), static_cast<int>(notes.bottom()) + 1);
  EXPECT_LT(lit.lightness(), 60) << describe(lit);
  EXPECT_TRUE(near(unlit, 255, 255, 255, 128, 4)) << describe(unlit);
  EXPECT_EQ(row().element(0)->accessibleDescription(), "running");
}

TEST_F(DockViewTest, TintFollowsCustomColourDarkAndLight) {
  show(64);
  EXPECT_TRUE(near(grab(*view).pixelColor(bareGlass()), 255, 255, 255, 128))
      << "light: white at 0.5";
  preferences.setAppearanceMode(AppearanceMode::dark);
  EXPECT_TRUE(near(grab(*view).pixelColor(bareGlass()), 255, 255, 255, 26)) << "dark: white at 0.1";
  preferences.setCustomTintColor(TintColor{0, 0.5, 1, 0.8});
  const QColor custom = grab(*view).pixelColor(bareGlass());
  EXPECT_TRUE(near(custom, 0, 128, 255, 204)) << describe(custom);
}

TEST_F(DockViewTest, GlassWithoutCompositorIsOpaqueOverTheBackdropOrABase) {
  show(64);
  view->setComposited(false);
  EXPECT_EQ(grab(*view).pixelColor(bareGlass()).alpha(), 255);

  QImage desktopBehind(view->size(), QImage::Format_ARGB32);
  desktopBehind.fill(QColor(200, 0, 0));
  view->setBackdrop(desktopBehind);
  const QColor glass = grab(*view).pixelColor(bareGlass());
  EXPECT_EQ(glass.alpha(), 255);
  EXPECT_GT(glass.red(), glass.blue() + 40) << "the desktop shows through: " << describe(glass);

  const QRegion shape = view->glassShape();
  EXPECT_TRUE(shape.contains(bareGlass()));
  EXPECT_FALSE(shape.contains(QPoint(1, 1)));
  EXPECT_FALSE(shape.contains(QPoint(150, 80)));
}

TEST_F(DockViewTest, BadgeSizeAndBorderScaleWithTheIcon) {
  EXPECT_NEAR(TileBadgeView::diameter(64), 24.32, 1e-9);
  EXPECT_NEAR(TileBadgeView::fontSize(64), 15.0784, 1e-9);
  EXPECT_EQ(TileBadgeView::borderWidth(64), 3);
  EXPECT_EQ(TileBadgeView::borderWidth(30), 1);

  for (const double tileSize : {64.0, 30.0}) {
    badges.set(kNotes, "12");
    show(tileSize);
    const QRectF icon = row().iconRect(1);
    const QRectF badge = TileBadgeView::frame("12", icon);
    EXPECT_GE(badge.height(), tileSize * 0.38);
    EXPECT_GE(badge.width(), tileSize * 0.38);
    EXPECT_NEAR(badge.right(), icon.right() + 0.16 * tileSize, 1e-9);
    EXPECT_NEAR(badge.top(), icon.top() - 0.1 * tileSize, 1e-9);

    const QImage image = grab(*view);
    const int y = static_cast<int>(badge.center().y());
    const QColor border = image.pixelColor(
        static_cast<int>(badge.left() + TileBadgeView::borderWidth(tileSize) * 0.5), y);
    const QColor inside = image.pixelColor(
        static_cast<int>(badge.left() + TileBadgeView::borderWidth(tileSize)) + 1, y);
    EXPECT_GT(border.green(), 200) << "white border at " << tileSize << ": " << describe(border);
    EXPECT_GT(inside.red(), 200) << describe(inside);
    EXPECT_LT(inside.green(), 100) << "red capsule at " << tileSize << ": " << describe(inside);
    image.save(QString("/tmp/quayline-dock-badge-%1.png").arg(tileSize));
  }
}

TEST_F(DockViewTest, AccessibilityLabelsIdentifiersAndValues) {
  runMail();
  badges.set(kNotes, "12");
  trash.full = true;
  show(64);
  const auto* mail = row().element(0);
  EXPECT_EQ(mail->objectName(), "pinned:com.example.mail");
  EXPECT_EQ(mail->accessibleName(), "Mail");
  EXPECT_EQ(mail->accessibleDescription(), "running");
  EXPECT_EQ(row().element(1)->accessibleDescription(), "badge:12");
  badges.set(kMail, "3");
  EXPECT_EQ(mail->accessibleDescription(), "running badge:3") << "badge changes redescribe";

  EXPECT_EQ(row().element(2)->accessibleName(), "Spacer");
  EXPECT_EQ(row().element(2)->objectName(), "pinned:spacer:1");
  EXPECT_EQ(row().element(3)->objectName(), "divider:trailing");
  EXPECT_EQ(row().element(4)->accessibleName(), "Trash");
  EXPECT_EQ(row().element(4)->accessibleDescription(), "full");
  EXPECT_EQ(row().element(4)->toolTip(), "Trash");
  EXPECT_EQ(row().element(1)->toolTip(), "Notes") << "no windows: the name as tool tip";

  const QString expected =
      registry->isTrusted() ? "dock:accessibility:granted" : "dock:accessibility:denied";
  EXPECT_NE(view->findChild<QWidget*>(expected), nullptr);
}

TEST_F(DockViewTest, HoverHandsTheTileFrameWithHeadroomToThePreviews) {
  preferences.setMagnificationEnabled(true);
  show(64);
  view->move(100, 900);
  QEnterEvent enter(QPointF(10, 10), QPointF(10, 10), QPointF(110, 910));
  QApplication::sendEvent(row().element(1), &enter);
  ASSERT_EQ(hovers.entered.size(), 1u);
  EXPECT_EQ(hovers.entered[0].tile.id, "pinned:com.example.notes");
  EXPECT_EQ(hovers.entered[0].frame.size.width, 66);
  EXPECT_EQ(hovers.entered[0].frame.size.height, 78 + 64) << "grown by one tile size";
  // In screen coordinates, y up from the primary screen's bottom edge: the frame starts at the
  // tile's bottom.
  const QRect primary = QGuiApplication::primaryScreen()->geometry();
  const QPointF tileBottom = row().mapToGlobal(row().tileFrame(1).bottomLeft());
  EXPECT_EQ(hovers.entered[0].frame.minY(), primary.bottom() + 1 - tileBottom.y());
  EXPECT_EQ(hovers.entered[0].frame.minX(), tileBottom.x() - primary.x());

  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(row().element(1), &leave);
  EXPECT_EQ(hovers.exited, std::vector<std::string>{"pinned:com.example.notes"});

  QApplication::sendEvent(row().element(4), &enter);
  EXPECT_EQ(hovers.entered.size(), 1u) << "the trash has no previews";
}

TEST_F(DockViewTest, SecondaryClicksOpenTheTileMenuOrTheGlassMenu) {
  show(64);
  std::vector<QPoint> requested;
  QObject::connect(view.get(), &DockView::glassContextMenuRequested,
                   [&](QPoint position) { requested.push_back(position); });
  const QPoint glass = bareGlass();
  QMouseEvent onGlass(QEvent::MouseButtonPress, glass, row().mapToGlobal(glass), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
  QApplication::sendEvent(&row(), &onGlass);
  ASSERT_EQ(requested.size(), 1u);
  EXPECT_EQ(requested[0], row().mapToGlobal(glass));

  const QPoint below(glass.x(), 80);
  QMouseEvent underGlass(QEvent::MouseButtonPress, below, row().mapToGlobal(below), Qt::RightButton,
                         Qt::RightButton, Qt::NoModifier);
  QApplication::sendEvent(&row(), &underGlass);
  EXPECT_EQ(requested.size(), 1u) << "the gap under the glass is not glass";

  // A tile answers with its own menu, just above it, and reports it to the menu tracking.
  view->move(200, 1080 - view->height());
  std::vector<bool> tracking;
  const Subscription tracked = menus.observe([&](bool open) { tracking.push_back(open); });
  const QPoint onTile = row().tileFrame(0).center().toPoint();
  const QPointF middle(row().element(0)->width() * 0.5, row().element(0)->height() * 0.5);
  QMouseEvent tileClick(QEvent::MouseButtonPress, middle, row().mapToGlobal(onTile),
                        Qt::RightButton, Qt::RightButton, Qt::NoModifier);
  QApplication::sendEvent(row().element(0), &tileClick);
  EXPECT_EQ(requested.size(), 1u) << "the tile's menu, not the glass's";
  QMenu* menu = nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == "tile-menu" && widget->isVisible()) {
      menu = qobject_cast<QMenu*>(widget);
    }
  }
  ASSERT_NE(menu, nullptr);
  QStringList titles;
  for (QAction* action : menu->actions()) {
    titles << (action->isSeparator() ? QStringLiteral("-") : action->text());
  }
  EXPECT_EQ(titles, QStringList({"Options", "-", "Open"}));
  EXPECT_LE(menu->geometry().bottom(), row().mapToGlobal(row().tileFrame(0).topLeft()).y());
  menu->hide();
  EXPECT_EQ(tracking, (std::vector<bool>{true, false}));

  QMouseEvent primaryClick(QEvent::MouseButtonPress, middle, row().mapToGlobal(onTile),
                           Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(row().element(0), &primaryClick);
  EXPECT_EQ(requested.size(), 1u) << "a primary click is the tile's";
}

TEST_F(DockViewTest, MagnifiedRowGrowsTilesAndGlass) {
  preferences.setMagnificationEnabled(true);
  const std::vector<Tile> tiles{appTile(kMail, "Mail"), appTile(kNotes, "Notes"), trashTile()};
  show(64, tiles);
  MagnifiedRow magnified;
  magnified.slots = {{0, 66, 1.5, -66}, {66, 66, 2, 33}, {132, 66, 1.5, 165}};
  view->resize(500, 200);
  view->setMagnifiedRow(magnified);
  EXPECT_EQ(row().iconRect(1).size(), QSizeF(128, 128));
  EXPECT_EQ(row().iconRect(0).size(), QSizeF(96, 96));
  EXPECT_EQ(row().geometry().extra, 66);
  EXPECT_EQ(row().glassRect().width(), 198 + 132 + 4);
  EXPECT_EQ(row().iconRect(1).center().x(), 250) << "the centre tile stays at the centre";
  EXPECT_LT(row().iconRect(0).right(), row().iconRect(1).left() + 1) << "neighbours move apart";
  EXPECT_EQ(row().element(1)->geometry().height(), 156) << "hit where drawn";
  grab(*view).save("/tmp/quayline-dock-magnified.png");
  EXPECT_TRUE(icons.contains(IconCache::appKey(kNotes, 128))) << "raster at twice the size";
  EXPECT_FALSE(icons.contains(IconCache::appKey(kNotes, 64)));
}

TEST_F(DockViewTest, LaunchingTileBouncesWithItsMarkerUntilTheLaunchEnds) {
  show(64);
  RunningApp mail;
  mail.pid = 40;
  mail.bundleIdentifier = kMail;
  workspace.notify(WorkspaceNotification::Kind::willLaunchApplication, mail);
  const auto marker = [&] {
    return row().findChild<QWidget*>(QString::fromStdString("attention:" + kMail));
  };
  ASSERT_NE(marker(), nullptr);
  EXPECT_TRUE(row().isBouncing());
  EXPECT_EQ(row().findChild<QWidget*>(QString::fromStdString("attention:" + kNotes)), nullptr);

  workspace.notify(WorkspaceNotification::Kind::didLaunchApplication, mail);
  scheduler.advance(AppAttention::minimumBounce);
  EXPECT_EQ(marker(), nullptr);
  EXPECT_FALSE(row().isBouncing()) << "no redraws once nothing bounces";
}

TEST_F(DockViewTest, OpaqueShapeHoldsGrownIconsAboveTheGlass) {
  preferences.setMagnificationEnabled(true);
  show(64, {appTile(kMail, "Mail"), appTile(kNotes, "Notes")});
  view->resize(400, 160);
  const QRegion resting = view->glassShape();
  MagnifiedRow magnified;
  magnified.slots = {{0, 66, 2, -33}, {66, 66, 1, 99}};
  view->setMagnifiedRow(magnified);
  const QRegion grown = view->glassShape();
  const QRectF icon = row().iconRect(0).translated(row().pos());
  ASSERT_LT(icon.top(), row().glassRect().top());
  // The middle of the grown icon's part above the glass is in the shape only when magnified.
  const QPoint above(static_cast<int>(icon.center().x()),
                     static_cast<int>((icon.top() + row().glassRect().top()) / 2));
  EXPECT_TRUE(grown.contains(above));
  EXPECT_FALSE(resting.contains(above));
}

}  // namespace
}  // namespace quayline
