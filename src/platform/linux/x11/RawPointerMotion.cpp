#include "platform/linux/x11/RawPointerMotion.h"

#include <xcb/xcb_keysyms.h>
#include <xcb/xinput.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>

namespace quayline::x11 {

namespace {

constexpr auto kReplyTimeout = std::chrono::seconds(1);
// Raw events to clients of version 2.1 and later arrive even while another client holds a grab.
constexpr std::uint16_t kMajorVersion = 2;
constexpr std::uint16_t kMinorVersion = 2;
constexpr xcb_keysym_t kEscapeKeysym = 0xff1b;

Deadline deadline() {
  return std::chrono::steady_clock::now() + kReplyTimeout;
}

}  // namespace

RawPointerMotion::RawPointerMotion(XConnection& connection, Scheduler& scheduler, SystemLog& log)
    : log_(log), state_(std::make_shared<State>(State{connection, scheduler})) {}

RawPointerMotion::~RawPointerMotion() {
  state_->observers.clear();
  state_->pressObservers.clear();
  state_->update(state_);
}

std::optional<std::uint8_t> RawPointerMotion::extension() {
  if (!queried_) {
    queried_ = true;
    XConnection& connection = state_->connection;
    static constexpr char kName[] = "XInputExtension";
    const auto presence = connection.take<xcb_query_extension_reply_t>(
        xcb_query_extension(connection.raw(), sizeof kName - 1, kName).sequence, deadline());
    if (presence && presence->present != 0) {
      const auto version = connection.take<xcb_input_xi_query_version_reply_t>(
          xcb_input_xi_query_version(connection.raw(), kMajorVersion, kMinorVersion).sequence,
          deadline());
      if (version && version->major_version >= kMajorVersion) {
        available_ = true;
        state_->opcode = presence->major_opcode;
      }
    }
    if (!available_) {
      log_.log("x11", "XInput 2 is not available: pointer motion cannot be observed");
    }
  }
  return available_ ? std::optional(state_->opcode) : std::nullopt;
}

Subscription RawPointerMotion::observeMotion(std::function<void()> observer) {
  if (!extension()) {
    return {};
  }
  const std::uint64_t id = state_->nextObserver++;
  state_->observers.emplace(id, std::move(observer));
  state_->update(state_);
  return removal(id);
}

Subscription RawPointerMotion::observePresses(std::function<void(Press)> observer) {
  if (!extension()) {
    return {};
  }
  State& state = *state_;
  if (state.escapeKeys.empty()) {
    // Read once: the keyboard's layout rarely changes while something is open.
    if (xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(state.connection.raw())) {
      if (xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, kEscapeKeysym)) {
        for (const xcb_keycode_t* code = codes; *code != XCB_NO_SYMBOL; ++code) {
          state.escapeKeys.push_back(*code);
        }
        std::free(codes);
      }
      xcb_key_symbols_free(symbols);
    }
  }
  const std::uint64_t id = state.nextObserver++;
  state.pressObservers.emplace(id, std::move(observer));
  state.update(state_);
  return removal(id);
}

Subscription RawPointerMotion::removal(std::uint64_t id) {
  return Subscription([weak = std::weak_ptr<State>(state_), id] {
    const auto locked = weak.lock();
    if (locked && (locked->observers.erase(id) != 0 || locked->pressObservers.erase(id) != 0)) {
      locked->update(locked);
    }
  });
}

void RawPointerMotion::State::update(const std::weak_ptr<State>& self) {
  std::uint32_t bits = 0;
  if (!observers.empty()) {
    bits |= XCB_INPUT_XI_EVENT_MASK_RAW_MOTION;
  }
  if (!pressObservers.empty()) {
    bits |= XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS;
  }
  if (bits == selected) {
    return;
  }
  const bool listening = selected != 0;
  selected = bits;
  if (bits != 0 && !listening) {
    events =
        connection.listen([this, self](const xcb_generic_event_t& event) { handle(event, self); });
  }
  // One mask word follows the header in the request; the request replaces what this client
  // selected before, so it always carries every kind still wanted.
  struct {
    xcb_input_event_mask_t header;
    std::uint32_t bits;
  } mask{{XCB_INPUT_DEVICE_ALL_MASTER, 1}, bits};
  xcb_input_xi_select_events(connection.raw(), connection.root(), 1, &mask.header);
  connection.flush();
  if (bits == 0) {
    events.reset();
  }
}

void RawPointerMotion::State::handle(const xcb_generic_event_t& event,
                                     const std::weak_ptr<State>& self) {
  if ((event.response_type & ~0x80) != XCB_GE_GENERIC) {
    return;
  }
  const auto& generic = reinterpret_cast<const xcb_ge_generic_event_t&>(event);
  if (generic.extension != opcode) {
    return;
  }
  if (generic.event_type == XCB_INPUT_RAW_BUTTON_PRESS ||
      generic.event_type == XCB_INPUT_RAW_KEY_PRESS) {
    const auto& raw = reinterpret_cast<const xcb_input_raw_button_press_event_t&>(event);
    if (generic.event_type == XCB_INPUT_RAW_BUTTON_PRESS) {
      // Buttons 4 to 7 are the wheel's steps, not clicks.
      if (raw.detail < 4 || raw.detail > 7) {
        scheduler.post([self] {
          if (const auto state = self.lock()) {
            state->notifyPress(Press::mouseButton);
          }
        });
      }
    } else if (std::find(escapeKeys.begin(), escapeKeys.end(), raw.detail) != escapeKeys.end()) {
      scheduler.post([self] {
        if (const auto state = self.lock()) {
          state->notifyPress(Press::escape);
        }
      });
    }
    return;
  }
  if (generic.event_type != XCB_INPUT_RAW_MOTION || notificationPosted) {
    return;
  }
  // The connection hands over everything it read in one go; the observers hear of the whole
  // batch once, after it.
  notificationPosted = true;
  scheduler.post([self] {
    if (const auto state = self.lock()) {
      state->notify();
    }
  });
}

void RawPointerMotion::State::notifyPress(Press press) {
  std::vector<std::uint64_t> ids;
  for (const auto& [id, observer] : pressObservers) {
    ids.push_back(id);
  }
  for (const std::uint64_t id : ids) {
    const auto found = pressObservers.find(id);
    if (found != pressObservers.end()) {
      auto observer = found->second;
      observer(press);
    }
  }
}

void RawPointerMotion::State::notify() {
  notificationPosted = false;
  // Observers may come and go while they are called.
  std::vector<std::uint64_t> ids;
  for (const auto& [id, observer] : observers) {
    ids.push_back(id);
  }
  for (const std::uint64_t id : ids) {
    const auto found = observers.find(id);
    if (found != observers.end()) {
      auto observer = found->second;
      observer();
    }
  }
}

}  // namespace quayline::x11
