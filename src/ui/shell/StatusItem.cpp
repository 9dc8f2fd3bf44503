#include "ui/shell/StatusItem.h"

#include <QAction>
#include <QFont>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>

namespace quayline {

namespace {

// A tray shows icons, not titles: the title is drawn into the icon.
QIcon titleIcon() {
  QPixmap pixmap(64, 32);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  QFont font;
  font.setPixelSize(20);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(pixmap.rect(), Qt::AlignCenter, StatusMenu::title);
  return QIcon(pixmap);
}

}  // namespace

StatusItem::StatusItem(Preferences& preferences, std::function<void(StatusMenu::Action)> perform)
    : preferences_(preferences), perform_(std::move(perform)), menu_(std::make_unique<QMenu>()) {
  menu_->setObjectName("statusMenu");
  // Check marks follow the settings each time the menu opens.
  connect(menu_.get(), &QMenu::aboutToShow, this, [this] { rebuild(); });
  rebuild();
  if (QSystemTrayIcon::isSystemTrayAvailable()) {
    tray_ = std::make_unique<QSystemTrayIcon>(titleIcon());
    tray_->setToolTip(StatusMenu::toolTip);
    tray_->setContextMenu(menu_.get());
    connect(tray_.get(), &QSystemTrayIcon::activated, this,
            [this] { menu_->popup(QCursor::pos()); });
    tray_->show();
  }
}

StatusItem::~StatusItem() = default;

bool StatusItem::hasTray() const {
  return tray_ != nullptr;
}

void StatusItem::popUp(const QPoint& globalPosition) {
  menu_->popup(globalPosition);
}

void StatusItem::rebuild() {
  menu_->clear();
  const auto add = [this](QMenu& into, const StatusMenu::Entry& entry, auto& self) -> void {
    if (entry.separator) {
      into.addSeparator();
      return;
    }
    if (!entry.submenu.empty()) {
      QMenu* sub = into.addMenu(QString::fromStdString(entry.title));
      for (const auto& child : entry.submenu) {
        self(*sub, child, self);
      }
      return;
    }
    QAction* action = into.addAction(QString::fromStdString(entry.title));
    if (!entry.keyEquivalent.empty()) {
      action->setShortcut(QKeySequence(QString::fromStdString("Ctrl+" + entry.keyEquivalent)));
      action->setShortcutVisibleInContextMenu(true);
    }
    action->setCheckable(entry.checked ||
                         entry.action == StatusMenu::Action::toggleWindowPreviews ||
                         entry.action == StatusMenu::Action::toggleWindowSwitcher ||
                         entry.action == StatusMenu::Action::selectAppearance);
    action->setChecked(entry.checked);
    connect(action, &QAction::triggered, this, [this, entry] {
      const auto left = StatusMenu::choose(entry, preferences_);
      if (left != StatusMenu::Action::none && perform_) {
        perform_(left);
      }
    });
  };
  for (const auto& entry : StatusMenu::entries(preferences_)) {
    add(*menu_, entry, add);
  }
}

}  // namespace quayline
