#pragma once

#include "dock/MenuModel.h"

namespace quayline {

class Confirmations;
class TrashState;
struct Confirmation;

// What a click on the Trash tile does and what its menu offers.
namespace TrashTileActions {

void click(TrashState& trash);
// "Open", then "Empty Trash…" (greyed out while the Trash is empty), which asks first.
Menu menu(TrashState& trash, Confirmations& confirmations);
// The question "Empty Trash…" puts before anything is erased.
const Confirmation& emptyTrashQuestion();

}  // namespace TrashTileActions

}  // namespace quayline
