#include "dock/TrashTileActions.h"

#include "dock/Confirmations.h"
#include "dock/TrashState.h"

namespace quayline::TrashTileActions {

void click(TrashState& trash) {
  trash.openTrash();
}

Menu menu(TrashState& trash, Confirmations& confirmations) {
  MenuEntry empty = MenuEntry::button("Empty Trash…", [&trash, &confirmations] {
    confirmations.confirm(emptyTrashQuestion(), [&trash] { trash.emptyTrash(); });
  });
  empty.enabled = trash.isFull();
  return {MenuEntry::button("Open", [&trash] { trash.openTrash(); }), std::move(empty)};
}

const Confirmation& emptyTrashQuestion() {
  static const Confirmation question{
      "Are you sure you want to permanently erase the items in the Trash?",
      "You can't undo this action.", "Empty Trash"};
  return question;
}

}  // namespace quayline::TrashTileActions
