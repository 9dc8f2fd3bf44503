#pragma once

#include <QToolButton>
#include <functional>

#include "app/PreferenceValues.h"

namespace quayline {

class DockEdgeActions;

// The settings control that picks the action of one end of the dock: a button showing the
// chosen action that opens a menu of every action in order. An action this desktop cannot run
// is listed disabled, with the reason beside it.
class DockEdgeActionMenu : public QToolButton {
 public:
  // A two-way binding to the chosen action.
  struct Selection {
    std::function<DockEdgeAction()> get;
    std::function<void(DockEdgeAction)> set;
  };

  DockEdgeActionMenu(Selection selection, const DockEdgeActions& actions,
                     QWidget* parent = nullptr);

  // Shows the bound value again (after it changed elsewhere).
  void refresh();

 private:
  Selection selection_;
};

}  // namespace quayline
