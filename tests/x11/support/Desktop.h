#pragma once

#include <xcb/xcb.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fakes/FakeSystemLog.h"
#include "platform/linux/DesktopEntryIndex.h"
#include "platform/linux/QtScheduler.h"
#include "platform/linux/x11/ActivationHistory.h"
#include "platform/linux/x11/WindowApplications.h"
#include "platform/linux/x11/X11Accessibility.h"
#include "platform/linux/x11/X11Workspace.h"
#include "platform/linux/x11/XConnection.h"

namespace quayline::x11test {

// The adapters under test, wired as the program wires them, on the test display; records every
// workspace notification.
struct Desktop {
  Desktop();
  ~Desktop();

  FakeSystemLog log;
  QtScheduler scheduler;
  std::unique_ptr<x11::XConnection> connection;
  std::unique_ptr<x11::XConnection> reads;  // the accessibility adapter's, as in the program
  std::unique_ptr<x11::ActivationHistory> history;
  DesktopEntryIndex entries;
  x11::WindowApplications windowApplications;
  std::unique_ptr<X11Workspace> workspace;
  std::unique_ptr<X11Accessibility> accessibility;
  std::vector<WorkspaceNotification> notifications;
  Subscription observing;

  std::optional<RunningApp> application(const std::string& bundleIdentifier);
  std::optional<RunningApp> applicationWithPid(ProcessId pid);
  // Waits until an application with this identifier runs (and has `windowCount` windows).
  std::optional<RunningApp> waitForApplication(const std::string& bundleIdentifier,
                                               std::size_t windowCount = 1);
  std::vector<AXElement> windows(ProcessId pid);
  template <typename T>
  std::optional<T> read(const AXElement& element, std::string_view name) {
    const auto value = accessibility->attribute(element, name);
    if (!value) {
      return std::nullopt;
    }
    if (const T* typed = std::get_if<T>(&*value)) {
      return *typed;
    }
    return std::nullopt;
  }
  bool notified(WorkspaceNotification::Kind kind, const std::string& bundleIdentifier) const;
  std::size_t count(WorkspaceNotification::Kind kind, const std::string& bundleIdentifier) const;
};

// A plain xcb connection of the test's own, to look at and poke the display (the test display
// unless another is named) independently of the code under test.
class Probe {
 public:
  explicit Probe(const char* display = nullptr);
  ~Probe();
  Probe(const Probe&) = delete;
  Probe& operator=(const Probe&) = delete;

  xcb_connection_t* connection() const { return c_; }
  xcb_window_t root() const { return root_; }
  xcb_atom_t atom(const char* name);
  std::vector<std::uint32_t> cardinals(xcb_window_t window, const char* property);
  std::vector<xcb_window_t> clientList() { return cardinals(root_, "_NET_CLIENT_LIST"); }
  void sendToRoot(xcb_window_t window, const char* type, std::array<std::uint32_t, 5> data);
  void sync();
  // The first key that produces `keysym`; 0 when none does.
  std::uint8_t keycode(std::uint32_t keysym);

 private:
  xcb_connection_t* c_;
  xcb_window_t root_;
};

}  // namespace quayline::x11test
