#include "platform/linux/x11/KeyGrabs.h"

#include <xcb/xcb_keysyms.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

namespace quayline::x11 {

namespace {

constexpr xcb_keysym_t kNumLock = 0xff7f;
constexpr xcb_keysym_t kScrollLock = 0xff14;
constexpr auto kReplyTimeout = std::chrono::seconds(1);

}  // namespace

std::vector<xcb_keycode_t> keycodesFor(XConnection& connection, xcb_keysym_t symbol) {
  std::vector<xcb_keycode_t> result;
  if (xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(connection.raw())) {
    if (xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, symbol)) {
      for (const xcb_keycode_t* code = codes; *code != XCB_NO_SYMBOL; ++code) {
        result.push_back(*code);
      }
      std::free(codes);
    }
    xcb_key_symbols_free(symbols);
  }
  return result;
}

std::uint16_t lockModifiers(XConnection& connection) {
  std::uint16_t mask = XCB_MOD_MASK_LOCK;
  const auto numLock = keycodesFor(connection, kNumLock);
  const auto scrollLock = keycodesFor(connection, kScrollLock);
  const auto mapping = connection.take<xcb_get_modifier_mapping_reply_t>(
      xcb_get_modifier_mapping(connection.raw()).sequence,
      std::chrono::steady_clock::now() + kReplyTimeout);
  if (!mapping) {
    return mask;
  }
  const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(mapping.get());
  const int perModifier = mapping->keycodes_per_modifier;
  // Eight modifiers in order: Shift, Lock, Control, Mod1 to Mod5.
  for (int modifier = 0; modifier < 8; ++modifier) {
    for (int i = 0; i < perModifier; ++i) {
      const xcb_keycode_t code = codes[modifier * perModifier + i];
      const auto has = [code](const std::vector<xcb_keycode_t>& list) {
        return code != XCB_NO_SYMBOL && std::find(list.begin(), list.end(), code) != list.end();
      };
      if (has(numLock) || has(scrollLock)) {
        mask |= static_cast<std::uint16_t>(1U << modifier);
      }
    }
  }
  return mask;
}

KeyGrab::KeyGrab(XConnection& connection, xcb_keycode_t key, std::uint16_t modifiers,
                 bool synchronousKeyboard)
    : connection_(connection), key_(key), modifiers_(modifiers), locks_(lockModifiers(connection)) {
  // Every subset of the lock bits.
  for (std::uint16_t subset = locks_;; subset = static_cast<std::uint16_t>((subset - 1) & locks_)) {
    variants_.push_back(static_cast<std::uint16_t>(modifiers_ | subset));
    if (subset == 0) {
      break;
    }
  }
  const auto keyboardMode = synchronousKeyboard ? XCB_GRAB_MODE_SYNC : XCB_GRAB_MODE_ASYNC;
  std::vector<xcb_void_cookie_t> cookies;
  for (const std::uint16_t variant : variants_) {
    cookies.push_back(xcb_grab_key_checked(connection_.raw(), 1, connection_.root(), variant, key_,
                                           XCB_GRAB_MODE_ASYNC, keyboardMode));
  }
  // One round trip settles every grab; the answers are then read without waiting, through the
  // connection's own reading so that other threads waiting on it are not starved.
  const Deadline deadline = std::chrono::steady_clock::now() + kReplyTimeout;
  held_ = connection_.sync(deadline);
  for (const xcb_void_cookie_t cookie : cookies) {
    XReply<xcb_generic_error_t> error;
    connection_.take<xcb_generic_reply_t>(cookie.sequence, deadline, &error);
    if (error) {
      held_ = false;
    }
  }
  if (!held_) {
    ungrab();
  }
}

KeyGrab::~KeyGrab() {
  if (held_) {
    ungrab();
  }
}

void KeyGrab::ungrab() {
  for (const std::uint16_t variant : variants_) {
    xcb_ungrab_key(connection_.raw(), key_, connection_.root(), variant);
  }
  connection_.flush();
}

bool KeyGrab::matches(xcb_keycode_t key, std::uint16_t state) const {
  constexpr std::uint16_t kModifierBits = 0xff;
  return key == key_ && (state & kModifierBits & ~locks_) == modifiers_;
}

}  // namespace quayline::x11
