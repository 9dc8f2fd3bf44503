#pragma once

#include <functional>
#include <memory>

#include "platform/Accessibility.h"

namespace quayline {

class DesktopEntryIndex;
namespace x11 {
class XConnection;
class ActivationHistory;
class SharedPixelSpace;
class WindowApplications;
}  // namespace x11

// Other applications' windows as accessibility elements, read from the window manager's EWMH
// properties. An application element stands for every client window the workspace grouped under
// its id (`windowApplications`), else for those of its process (or of its X connection, for
// clients that name no process: see X11Workspace); a window element for one client window, whose
// window number is its X window id. Safe to use from any thread.
class X11Accessibility final : public Accessibility {
 public:
  // Window positions and sizes are in the screens' logical coordinates that `pixelSpace` maps X
  // pixels to, with the primary screen's top-left corner as the origin; X pixels of the root
  // window when not given.
  X11Accessibility(x11::XConnection& connection, x11::ActivationHistory& history,
                   DesktopEntryIndex& entries, x11::WindowApplications& windowApplications,
                   const x11::SharedPixelSpace* pixelSpace = nullptr);
  // Reads through `reads`, a connection of their own (see XConnection::Events), so the replies
  // to reads made off the main thread never wake it; writes and events go through `connection`.
  X11Accessibility(x11::XConnection& connection, x11::XConnection& reads,
                   x11::ActivationHistory& history, DesktopEntryIndex& entries,
                   x11::WindowApplications& windowApplications,
                   const x11::SharedPixelSpace* pixelSpace = nullptr);
  ~X11Accessibility() override;
  X11Accessibility(const X11Accessibility&) = delete;
  X11Accessibility& operator=(const X11Accessibility&) = delete;

  // There is no permission to ask for on X11.
  bool isProcessTrusted() override { return true; }
  void setMessagingTimeout(double seconds) override;

  AXElement applicationElement(ProcessId pid) override;
  std::optional<AXValue> attribute(const AXElement& element, std::string_view name) override;
  std::vector<std::vector<std::optional<AXValue>>> attributes(
      const std::vector<AXElement>& elements, const std::vector<std::string_view>& names) override;
  bool setAttribute(const AXElement& element, std::string_view name, const AXValue& value) override;
  bool performAction(const AXElement& element, std::string_view action) override;
  std::optional<std::uint32_t> windowNumber(const AXElement& element) override;
  // Moves, resizes and state changes of the client windows the adapter has read before.
  Subscription observeWindowChanges(std::function<void()> observer) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quayline
