#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace quayline {

// Virtual key codes of the keys the switcher uses, the same on every keyboard layout.
namespace VirtualKey {
constexpr std::int64_t section = 10;  // left of 1 on ISO keyboards
constexpr std::int64_t returnKey = 36;
constexpr std::int64_t tab = 48;
constexpr std::int64_t grave = 50;  // left of 1 on ANSI keyboards
constexpr std::int64_t escape = 53;
constexpr std::int64_t leftArrow = 123;
constexpr std::int64_t rightArrow = 124;
constexpr std::int64_t downArrow = 125;
constexpr std::int64_t upArrow = 126;
// Any key that has no code of its own here.
constexpr std::int64_t other = -1;
}  // namespace VirtualKey

// Modifier flag bits as keyboard events carry them.
namespace ModifierFlag {
constexpr std::uint64_t capsLock = 0x10000;
constexpr std::uint64_t shift = 0x20000;
constexpr std::uint64_t control = 0x40000;
constexpr std::uint64_t option = 0x80000;
constexpr std::uint64_t command = 0x100000;
}  // namespace ModifierFlag

// A hook on the whole session's keyboard that sees key presses, releases and modifier changes
// before the front application and may swallow them. Main thread.
class GlobalKeyboardHook {
 public:
  enum class EventType { keyDown, keyUp, flagsChanged, disabledByTimeout, disabledByUserInput };
  struct Event {
    EventType type = EventType::keyDown;
    std::int64_t keyCode = VirtualKey::other;
    std::uint64_t flags = 0;  // the modifiers held once the event has happened
    bool operator==(const Event&) const = default;
  };
  // Returns whether the event is swallowed.
  using Callback = std::function<bool(const Event&)>;

  // An installed hook; removed when destroyed.
  class Tap {
   public:
    virtual ~Tap() = default;
    virtual bool isEnabled() const = 0;
    virtual void enable() = 0;
    // The modifier the shortcut's keys come with. A hook that cannot see every key (a passive
    // grab) listens for the shortcut's keys with exactly this modifier.
    virtual void setModifier(std::uint64_t modifier) = 0;
    // While a session is up every key comes to the hook, not only the shortcut's.
    virtual void setSessionActive(bool active) = 0;
    // Takes every key now, for a session the shortcut did not begin (the window overview): keys
    // then count without the modifier, until the session ends. False when the keyboard is held
    // elsewhere.
    virtual bool holdKeyboard() = 0;
  };

  virtual ~GlobalKeyboardHook() = default;
  // Nothing when the hook cannot be installed (no permission, the shortcut owned elsewhere).
  virtual std::unique_ptr<Tap> create(std::uint64_t modifier, Callback callback) = 0;
};

}  // namespace quayline
