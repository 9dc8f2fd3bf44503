#include "platform/linux/UnavailableLoginItem.h"

#include <string>

#include "platform/SystemLog.h"

namespace quayline {

bool UnavailableLoginItem::setEnabled(bool enabled) {
  log_.console(std::string("LoginItem: starting at login is not available on this system yet (") +
               (enabled ? "enable" : "disable") + " requested)");
  return false;
}

}  // namespace quayline
