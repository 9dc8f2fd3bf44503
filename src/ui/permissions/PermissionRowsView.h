#pragma once

#include <QWidget>
#include <vector>

#include "foundation/Subscription.h"
#include "settings/PermissionRows.h"

namespace quayline {

class PermissionRowWidget;
class Scheduler;

// The Permissions section of the settings window: its title, a row per permission and the
// footer. Re-evaluates the permissions once a second, only while it is shown.
class PermissionRowsView : public QWidget {
 public:
  PermissionRowsView(PermissionRows& rows, Scheduler& scheduler, QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void draw(const std::vector<PermissionRow>& rows);

  PermissionRows& rows_;
  Scheduler& scheduler_;
  std::vector<PermissionRowWidget*> widgets_;
  Subscription refresh_;
};

}  // namespace quayline
