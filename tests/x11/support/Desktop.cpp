#include "Desktop.h"

#include <gtest/gtest.h>
#include <xcb/xcb_keysyms.h>

#include <cstring>

#include "X11Environment.h"

namespace quayline::x11test {

Desktop::Desktop() {
  connection = x11::XConnection::open(log);
  reads = x11::XConnection::open(log, nullptr, x11::XConnection::Events::destructionsOnly);
  EXPECT_NE(connection, nullptr);
  EXPECT_NE(reads, nullptr);
  history = std::make_unique<x11::ActivationHistory>(*connection);
  workspace =
      std::make_unique<X11Workspace>(*connection, *history, entries, windowApplications, scheduler);
  accessibility = std::make_unique<X11Accessibility>(*connection, *reads, *history, entries,
                                                     windowApplications);
  accessibility->setMessagingTimeout(1.0);
  observing = workspace->observe(
      [this](const WorkspaceNotification& notification) { notifications.push_back(notification); });
}

Desktop::~Desktop() = default;

std::optional<RunningApp> Desktop::application(const std::string& bundleIdentifier) {
  for (const RunningApp& app : workspace->runningApplications()) {
    if (app.bundleIdentifier == bundleIdentifier) {
      return app;
    }
  }
  return std::nullopt;
}

std::optional<RunningApp> Desktop::applicationWithPid(ProcessId pid) {
  for (const RunningApp& app : workspace->runningApplications()) {
    if (app.pid == pid) {
      return app;
    }
  }
  return std::nullopt;
}

std::optional<RunningApp> Desktop::waitForApplication(const std::string& bundleIdentifier,
                                                      std::size_t windowCount) {
  std::optional<RunningApp> found;
  waitUntil([&] {
    found = application(bundleIdentifier);
    return found && windows(found->pid).size() == windowCount && found->isFinishedLaunching;
  });
  return found;
}

std::vector<AXElement> Desktop::windows(ProcessId pid) {
  return read<std::vector<AXElement>>(accessibility->applicationElement(pid), AX::windows)
      .value_or(std::vector<AXElement>{});
}

std::size_t Desktop::count(WorkspaceNotification::Kind kind,
                           const std::string& bundleIdentifier) const {
  std::size_t result = 0;
  for (const auto& notification : notifications) {
    if (notification.kind == kind && notification.application &&
        notification.application->bundleIdentifier == bundleIdentifier) {
      ++result;
    }
  }
  return result;
}

bool Desktop::notified(WorkspaceNotification::Kind kind,
                       const std::string& bundleIdentifier) const {
  return count(kind, bundleIdentifier) > 0;
}

Probe::Probe(const char* display) : c_(xcb_connect(display, nullptr)) {
  root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
}

Probe::~Probe() {
  sync();
  xcb_disconnect(c_);
}

xcb_atom_t Probe::atom(const char* name) {
  auto* reply = xcb_intern_atom_reply(
      c_, xcb_intern_atom(c_, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t result = reply != nullptr ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
  std::free(reply);
  return result;
}

std::vector<std::uint32_t> Probe::cardinals(xcb_window_t window, const char* property) {
  auto* reply = xcb_get_property_reply(
      c_, xcb_get_property(c_, 0, window, atom(property), XCB_GET_PROPERTY_TYPE_ANY, 0, 4096),
      nullptr);
  std::vector<std::uint32_t> values;
  if (reply != nullptr && reply->format == 32) {
    const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
    values.assign(data, data + xcb_get_property_value_length(reply) / 4);
  }
  std::free(reply);
  return values;
}

void Probe::sendToRoot(xcb_window_t window, const char* type, std::array<std::uint32_t, 5> data) {
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = window;
  message.type = atom(type);
  std::copy(data.begin(), data.end(), message.data.data32);
  xcb_send_event(c_, 0, root_,
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&message));
  sync();
}

void Probe::sync() {
  std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr));
}

std::uint8_t Probe::keycode(std::uint32_t keysym) {
  xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(c_);
  xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, keysym);
  const xcb_keycode_t code = codes != nullptr ? codes[0] : XCB_NO_SYMBOL;
  std::free(codes);
  xcb_key_symbols_free(symbols);
  return code;
}

}  // namespace quayline::x11test
