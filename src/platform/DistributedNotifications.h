#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "foundation/Subscription.h"

namespace quayline {

// Named notifications that other programs (the system dock, Quayline's own settings) post and
// observe. Observers are called on the main thread.
class DistributedNotifications {
 public:
  virtual ~DistributedNotifications() = default;
  virtual void post(std::string_view name) = 0;
  virtual Subscription observe(std::string_view name, std::function<void()> callback) = 0;
};

}  // namespace quayline
