#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "foundation/Geometry.h"

namespace quayline {

// A tap on the whole session's primary mouse button: it sees every press, and the release of a
// press it swallowed, before any window does. The callback runs on the tap's own thread, never
// the main one, and must answer quickly: a windowing system may hold every click back until it
// has.
class MouseTap {
 public:
  enum class EventType { leftMouseDown, leftMouseUp };

  // The top-level window a click landed on.
  struct Window {
    std::uint64_t number = 0;
    // The desktop's own window (a file manager drawing the desktop), not an application's.
    bool isDesktop = false;
    bool operator==(const Window&) const = default;
  };

  struct Event {
    EventType type = EventType::leftMouseDown;
    // Global display coordinates, origin top-left.
    Point location;
    // The window under the click, nothing on the bare desktop. Asked only when it matters: the
    // answer may cost a round trip to the window system.
    std::function<std::optional<Window>()> windowUnder;
  };

  // Returns whether the event is swallowed.
  using Callback = std::function<bool(const Event&)>;

  // An installed tap; removed when destroyed.
  class Tap {
   public:
    virtual ~Tap() = default;
    virtual bool isEnabled() const = 0;
    virtual void enable() = 0;
  };

  virtual ~MouseTap() = default;
  // Nothing when the tap cannot be installed (no permission, the button owned elsewhere).
  virtual std::unique_ptr<Tap> create(Callback callback) = 0;
  // Why creation may have failed, for the log.
  virtual std::string_view refusalReason() const = 0;
};

}  // namespace quayline
