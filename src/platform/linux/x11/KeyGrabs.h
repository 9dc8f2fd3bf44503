#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <vector>

#include "platform/linux/x11/XConnection.h"

namespace quayline::x11 {

// The key codes that produce a key symbol on the current keyboard layout.
std::vector<xcb_keycode_t> keycodesFor(XConnection& connection, xcb_keysym_t symbol);

// The lock modifiers a user may have on without meaning them: CapsLock, and whichever modifier
// bits NumLock and ScrollLock are bound to.
std::uint16_t lockModifiers(XConnection& connection);

// A passive grab of one key and modifier combination on the root window, in every combination
// of the lock modifiers, held for the object's lifetime. With `synchronousKeyboard` the keyboard
// freezes at a press until the holder calls `allow_events`.
class KeyGrab {
 public:
  KeyGrab(XConnection& connection, xcb_keycode_t key, std::uint16_t modifiers,
          bool synchronousKeyboard = false);
  ~KeyGrab();
  KeyGrab(const KeyGrab&) = delete;
  KeyGrab& operator=(const KeyGrab&) = delete;

  // False when another client holds the combination (then nothing stays grabbed).
  bool held() const { return held_; }
  // Whether a key event is this key with these modifiers, whatever locks are on.
  bool matches(xcb_keycode_t key, std::uint16_t state) const;

 private:
  void ungrab();

  XConnection& connection_;
  xcb_keycode_t key_;
  std::uint16_t modifiers_;
  std::uint16_t locks_;
  std::vector<std::uint16_t> variants_;
  bool held_ = false;
};

}  // namespace quayline::x11
