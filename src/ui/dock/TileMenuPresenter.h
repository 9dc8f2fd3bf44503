#pragma once

#include <QRect>

#include "dock/MenuModel.h"

class QWidget;
class QMenu;

namespace quayline {

class MenuTracking;

// Shows a menu the logic described, as the toolkit's menu.
namespace TileMenuPresenter {

// Builds the toolkit's menu; it deletes itself once closed and reports opening and closing to
// `tracking`.
QMenu* build(const Menu& menu, MenuTracking& tracking, QWidget* parent = nullptr);

// Pops the menu up just above `anchor` (a global rectangle, such as a tile's frame), centred on
// it, moved onto the screen where it would leave it.
QMenu* popUpAbove(const Menu& menu, const QRect& anchor, MenuTracking& tracking);

}  // namespace TileMenuPresenter
}  // namespace quayline
