#include "platform/linux/x11/RootKeyInterception.h"

namespace quayline::x11 {

namespace {
constexpr xcb_keysym_t kEscape = 0xff1b;
}  // namespace

RootKeyInterception::RootKeyInterception(XConnection& connection, SystemLog& log)
    : connection_(connection), log_(log) {}

RootKeyInterception::~RootKeyInterception() {
  release();
}

Subscription RootKeyInterception::interceptEscape(std::function<void()> pressed) {
  if (holders_ == 0) {
    for (const xcb_keycode_t key : keycodesFor(connection_, kEscape)) {
      auto grab = std::make_unique<KeyGrab>(connection_, key, 0);
      if (grab->held()) {
        grabs_.push_back(std::move(grab));
      }
    }
    if (grabs_.empty()) {
      log_.log("x11", "Escape cannot be taken from other programs: another client grabbed it");
      return {};
    }
    events_ = connection_.listen([this](const xcb_generic_event_t& event) {
      if ((event.response_type & ~0x80) != XCB_KEY_PRESS) {
        return;
      }
      const auto& press = reinterpret_cast<const xcb_key_press_event_t&>(event);
      for (const auto& grab : grabs_) {
        if (grab->matches(press.detail, press.state)) {
          escape_.emit();
          return;
        }
      }
    });
  }
  ++holders_;
  auto connection = std::make_shared<Subscription>(escape_.connect(std::move(pressed)));
  return Subscription([this, alive = std::weak_ptr<bool>(alive_), connection] {
    connection->reset();
    if (alive.lock() && --holders_ == 0) {
      release();
    }
  });
}

void RootKeyInterception::release() {
  events_.reset();
  grabs_.clear();
}

}  // namespace quayline::x11
