#include "ui/dock/TileMenuPresenter.h"

#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <algorithm>

#include "dock/MenuTracking.h"

namespace quayline {

namespace {

// Room between the tile and the menu's lower edge.
constexpr int kGapAboveTile = 4;

void fill(QMenu& target, const Menu& menu) {
  for (const MenuEntry& entry : menu) {
    switch (entry.kind) {
      case MenuEntry::Kind::divider:
        target.addSeparator();
        break;
      case MenuEntry::Kind::button: {
        QAction* action = target.addAction(QString::fromStdString(entry.title));
        action->setEnabled(entry.enabled);
        if (entry.checked) {
          action->setCheckable(true);
          action->setChecked(true);
        }
        // The entry's action is copied: the menu owns what it runs.
        QObject::connect(action, &QAction::triggered, &target, [run = entry.action] {
          if (run) {
            run();
          }
        });
        break;
      }
      case MenuEntry::Kind::submenu:
        fill(*target.addMenu(QString::fromStdString(entry.title)), entry.children);
        break;
    }
  }
}

}  // namespace

QMenu* TileMenuPresenter::build(const Menu& menu, MenuTracking& tracking, QWidget* parent) {
  auto* qmenu = new QMenu(parent);
  qmenu->setObjectName(QStringLiteral("tile-menu"));
  fill(*qmenu, menu);
  QObject::connect(qmenu, &QMenu::aboutToShow, qmenu, [&tracking] { tracking.didBeginTracking(); });
  QObject::connect(qmenu, &QMenu::aboutToHide, qmenu, [&tracking, qmenu] {
    tracking.didEndTracking();
    // Later: the chosen item's action is delivered after the menu hides.
    qmenu->deleteLater();
  });
  return qmenu;
}

QMenu* TileMenuPresenter::popUpAbove(const Menu& menu, const QRect& anchor,
                                     MenuTracking& tracking) {
  QMenu* qmenu = build(menu, tracking);
  const QSize size = qmenu->sizeHint();
  QPoint position(anchor.center().x() - size.width() / 2,
                  anchor.top() - kGapAboveTile - size.height());
  if (const QScreen* screen = QGuiApplication::screenAt(anchor.center())) {
    const QRect area = screen->geometry();
    position.setX(
        std::clamp(position.x(), area.left(), std::max(area.left(), area.right() - size.width())));
    position.setY(std::max(position.y(), area.top()));
  }
  qmenu->popup(position);
  return qmenu;
}

}  // namespace quayline
