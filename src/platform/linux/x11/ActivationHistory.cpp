#include "platform/linux/x11/ActivationHistory.h"

#include <algorithm>

#include "platform/linux/x11/WindowQuery.h"

namespace quayline::x11 {

namespace {
// Enough for every window a desktop keeps open; older entries name windows long gone.
constexpr std::size_t kRemembered = 512;
constexpr auto kReadTimeout = std::chrono::seconds(1);
}  // namespace

ActivationHistory::ActivationHistory(XConnection& connection) : connection_(connection) {
  connection_.selectInput(connection_.root(), XCB_EVENT_MASK_PROPERTY_CHANGE);
  events_ = connection_.listen([this](const xcb_generic_event_t& event) {
    if ((event.response_type & ~0x80) != XCB_PROPERTY_NOTIFY) {
      return;
    }
    const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
    if (notify.window == connection_.root() &&
        notify.atom == connection_.atom(Atom::_NET_ACTIVE_WINDOW)) {
      readActiveWindow();
    }
  });
  readActiveWindow();
}

void ActivationHistory::readActiveWindow() {
  WindowQuery query(connection_, std::chrono::steady_clock::now() + kReadTimeout);
  query.requestRoot(kActiveWindow);
  query.collect();
  noteActive(query.root().activeWindow);
}

void ActivationHistory::noteActive(std::optional<xcb_window_t> window) {
  std::lock_guard lock(mutex_);
  current_ = window;
  if (!window) {
    return;
  }
  std::erase(order_, *window);
  order_.push_front(*window);
  if (order_.size() > kRemembered) {
    order_.pop_back();
  }
}

std::optional<xcb_window_t> ActivationHistory::mostRecent(
    const std::vector<xcb_window_t>& candidates) const {
  std::lock_guard lock(mutex_);
  for (const xcb_window_t window : order_) {
    if (std::find(candidates.begin(), candidates.end(), window) != candidates.end()) {
      return window;
    }
  }
  return std::nullopt;
}

std::optional<xcb_window_t> ActivationHistory::current() const {
  std::lock_guard lock(mutex_);
  return current_;
}

}  // namespace quayline::x11
