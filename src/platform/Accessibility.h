#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "foundation/Geometry.h"
#include "foundation/Subscription.h"
#include "foundation/Url.h"
#include "platform/Processes.h"

namespace quayline {

// An element of another application's user interface: the application itself, one of its
// windows, a menu, a button. Adapters derive their own element type; values hold elements
// through AXElement and hand them back to the port.
class AccessibilityElement {
 public:
  virtual ~AccessibilityElement() = default;
};
using AXElement = std::shared_ptr<const AccessibilityElement>;

// The value of one attribute. Geometry is in the global display space (top-left origin).
using AXValue = std::variant<bool, std::int64_t, double, std::string, Point, Size, Url, AXElement,
                             std::vector<AXElement>>;

// Attribute and action names used across the system.
namespace AX {
inline constexpr std::string_view windows = "AXWindows";
inline constexpr std::string_view title = "AXTitle";
inline constexpr std::string_view subrole = "AXSubrole";
inline constexpr std::string_view minimized = "AXMinimized";
inline constexpr std::string_view main = "AXMain";
inline constexpr std::string_view position = "AXPosition";
inline constexpr std::string_view size = "AXSize";
inline constexpr std::string_view focusedWindow = "AXFocusedWindow";
inline constexpr std::string_view closeButton = "AXCloseButton";
inline constexpr std::string_view children = "AXChildren";
inline constexpr std::string_view menuBar = "AXMenuBar";
inline constexpr std::string_view url = "AXURL";
inline constexpr std::string_view statusLabel = "AXStatusLabel";
inline constexpr std::string_view standardWindow = "AXStandardWindow";
inline constexpr std::string_view dialog = "AXDialog";
inline constexpr std::string_view raise = "AXRaise";
inline constexpr std::string_view press = "AXPress";
}  // namespace AX

// Reading and driving other applications' interfaces. Every call is bounded by the messaging
// timeout; a call that fails or times out answers nothing (or false). Safe to call from the
// background queues.
class Accessibility {
 public:
  virtual ~Accessibility() = default;

  // Whether this process may use the interface at all.
  virtual bool isProcessTrusted() = 0;
  virtual void setMessagingTimeout(double seconds) = 0;

  virtual AXElement applicationElement(ProcessId pid) = 0;

  virtual std::optional<AXValue> attribute(const AXElement& element, std::string_view name) = 0;

  // Several attributes of several elements in one go: result[e][a] is attribute a of element e,
  // exactly as `attribute` would have answered, but read without a round trip per value.
  virtual std::vector<std::vector<std::optional<AXValue>>> attributes(
      const std::vector<AXElement>& elements, const std::vector<std::string_view>& names) = 0;

  virtual bool setAttribute(const AXElement& element, std::string_view name,
                            const AXValue& value) = 0;
  virtual bool performAction(const AXElement& element, std::string_view action) = 0;

  // The window-server number of a window element.
  virtual std::optional<std::uint32_t> windowNumber(const AXElement& element) = 0;

  // Called on the main thread when a window of another application was moved, resized,
  // minimized, restored, maximized or made full screen (its windows' notifications, for every
  // application at once). Changes come in bursts: the observer should gather them. An adapter
  // that cannot tell answers with a subscription that is never called.
  virtual Subscription observeWindowChanges(std::function<void()> observer) {
    (void)observer;
    return {};
  }
};

}  // namespace quayline
