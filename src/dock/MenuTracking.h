#pragma once

#include <functional>

#include "foundation/Signal.h"
#include "foundation/Subscription.h"

namespace quayline {

// Every menu of the program reports here when it opens and when it closes, so effects that
// follow the pointer can hold still while the user is in a menu.
class MenuTracking {
 public:
  void didBeginTracking() { changed_.emit(true); }
  void didEndTracking() { changed_.emit(false); }
  // Called with true when a menu opened, false when it closed.
  Subscription observe(std::function<void(bool tracking)> observer) {
    return changed_.connect(
        [observer = std::move(observer)](const bool& tracking) { observer(tracking); });
  }

 private:
  Signal<bool> changed_;
};

}  // namespace quayline
