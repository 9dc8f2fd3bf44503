#include "dock/DragOperation.h"

namespace quayline {

namespace {
bool offers(DragOperationMask offered, DragOperation operation) {
  return (offered & static_cast<unsigned>(operation)) != 0;
}
}  // namespace

DragOperation negotiatedOperation(DragOperation wanted, DragOperationMask offered) {
  if (offers(offered, wanted)) {
    return wanted;
  }
  switch (wanted) {
    case DragOperation::generic:
      if (offers(offered, DragOperation::copy)) {
        return DragOperation::copy;
      }
      return offers(offered, DragOperation::link) ? DragOperation::link : DragOperation::none;
    case DragOperation::link:
      return offers(offered, DragOperation::copy) ? DragOperation::copy : DragOperation::none;
    case DragOperation::none:
    case DragOperation::copy:
    case DragOperation::move:
      break;
  }
  return DragOperation::none;
}

std::ostream& operator<<(std::ostream& out, DragOperation operation) {
  switch (operation) {
    case DragOperation::none:
      return out << "none";
    case DragOperation::copy:
      return out << "copy";
    case DragOperation::link:
      return out << "link";
    case DragOperation::generic:
      return out << "generic";
    case DragOperation::move:
      return out << "move";
  }
  return out << "operation(" << static_cast<unsigned>(operation) << ")";
}

}  // namespace quayline
