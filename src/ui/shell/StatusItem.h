#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "app/StatusMenu.h"

class QMenu;
class QSystemTrayIcon;

namespace quayline {

class Preferences;

// The status item: a tray icon titled "Dock" with the status menu. Where the desktop has no
// tray the same menu is popped up on request (a secondary click on the dock's glass).
class StatusItem : public QObject {
  Q_OBJECT

 public:
  // `perform` gets the actions the menu does not carry out itself (windows, updates, quit).
  StatusItem(Preferences& preferences, std::function<void(StatusMenu::Action)> perform);
  ~StatusItem() override;

  bool hasTray() const;
  void popUp(const QPoint& globalPosition);
  QMenu& menu() { return *menu_; }

 private:
  void rebuild();

  Preferences& preferences_;
  std::function<void(StatusMenu::Action)> perform_;
  std::unique_ptr<QMenu> menu_;
  std::unique_ptr<QSystemTrayIcon> tray_;
};

}  // namespace quayline
