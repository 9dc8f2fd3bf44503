#pragma once

#include <xcb/xcb.h>

#include <memory>

#include "platform/GlobalKeyboardHook.h"

namespace quayline {
class SystemLog;
}

namespace quayline::x11 {

class XConnection;

// The switcher's keyboard hook on X11. X has no tap that sees every key: the shortcut's keys
// (Tab and the key left of 1, with the modifier) are grabbed on the root, with every lock
// variant, keyboard synchronous; on such a press the whole keyboard is grabbed at once and the
// frozen queue let go, so the modifier's release is never lost, and held for as long as the
// switcher's session lasts. Option is Alt, Command is Super. A shortcut another program has
// grabbed (a window manager's own Alt+Tab) cannot be installed.
class X11KeyboardHook final : public GlobalKeyboardHook {
 public:
  X11KeyboardHook(XConnection& connection, SystemLog& log);
  std::unique_ptr<Tap> create(std::uint64_t modifier, Callback callback) override;

  // Modifier bits of X key events, as keyboard event flags, with Alt as Option and `super` (the
  // modifier Super is mapped to) as Command.
  static std::uint64_t flagsFromState(std::uint16_t state, std::uint16_t alt, std::uint16_t super);

 private:
  class KeyTap;
  XConnection& connection_;
  SystemLog& log_;
  bool toldRefusal_ = false;
};

}  // namespace quayline::x11
