#include "platform/linux/x11/RawPointerMotion.h"

#include <xcb/xinput.h>

#include <chrono>
#include <vector>

namespace quayline::x11 {

namespace {

constexpr auto kReplyTimeout = std::chrono::seconds(1);
// Raw events to clients of version 2.1 and later arrive even while another client holds a grab.
constexpr std::uint16_t kMajorVersion = 2;
constexpr std::uint16_t kMinorVersion = 2;

Deadline deadline() {
  return std::chrono::steady_clock::now() + kReplyTimeout;
}

}  // namespace

RawPointerMotion::RawPointerMotion(XConnection& connection, Scheduler& scheduler, SystemLog& log)
    : log_(log), state_(std::make_shared<State>(State{connection, scheduler})) {}

RawPointerMotion::~RawPointerMotion() {
  if (!state_->observers.empty()) {
    state_->select(false);
  }
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
  State& state = *state_;
  if (state.observers.empty()) {
    std::weak_ptr<State> weak = state_;
    state.events = state.connection.listen(
        [&state, weak](const xcb_generic_event_t& event) { state.handle(event, weak); });
    state.select(true);
  }
  const std::uint64_t id = state.nextObserver++;
  state.observers.emplace(id, std::move(observer));
  return Subscription([weak = std::weak_ptr<State>(state_), id] {
    const auto locked = weak.lock();
    if (!locked || locked->observers.erase(id) == 0 || !locked->observers.empty()) {
      return;
    }
    locked->select(false);
    locked->events.reset();
  });
}

void RawPointerMotion::State::select(bool motion) {
  // One mask word follows the header in the request.
  struct {
    xcb_input_event_mask_t header;
    std::uint32_t bits;
  } mask{{XCB_INPUT_DEVICE_ALL_MASTER, 1},
         motion ? std::uint32_t{XCB_INPUT_XI_EVENT_MASK_RAW_MOTION} : 0u};
  xcb_input_xi_select_events(connection.raw(), connection.root(), 1, &mask.header);
  connection.flush();
}

void RawPointerMotion::State::handle(const xcb_generic_event_t& event,
                                     const std::weak_ptr<State>& self) {
  if ((event.response_type & ~0x80) != XCB_GE_GENERIC) {
    return;
  }
  const auto& generic = reinterpret_cast<const xcb_ge_generic_event_t&>(event);
  if (generic.extension != opcode || generic.event_type != XCB_INPUT_RAW_MOTION ||
      notificationPosted) {
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
