#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "foundation/Subscription.h"
#include "platform/Processes.h"

namespace quayline {

// What the window system tells of windows and launches beyond the accessibility tree: the startup
// id a window was opened with, which window became active, which are gone, and the startup id of
// each launch this program makes. Window numbers are the X window ids.
class WindowLaunchFacts {
 public:
  struct Event {
    enum class Kind { launched, activated, destroyed };
    Kind kind;
    std::uint32_t window = 0;   // activated, destroyed
    ProcessId application = 0;  // activated: the running application the window belongs to
    std::string startupId;      // launched: empty when the launch had none
  };

  virtual ~WindowLaunchFacts() = default;
  // The startup id the window carried when it appeared (_NET_STARTUP_ID); empty for none.
  virtual std::string startupId(std::uint32_t window) const = 0;
  // Events are delivered on the main thread; launches before the launching call returns.
  virtual Subscription observeWindows(std::function<void(const Event&)> observer) = 0;
};

}  // namespace quayline
