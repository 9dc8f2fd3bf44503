#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>

#include "foundation/Subscription.h"
#include "platform/GlobalKeyboardHook.h"

namespace quayline {

class Scheduler;
class SystemLog;

// What the keyboard tells the switcher.
struct SwitcherHotkeyEvent {
  enum class Kind { begin, cycle, move, cancel, commit };
  Kind kind = Kind::cancel;
  bool sameApp = false;   // begin: only the front application's windows
  bool backward = false;  // begin: start from the end
  bool forward = false;   // cycle
  bool down = false;      // move

  static SwitcherHotkeyEvent begin(bool sameApp, bool backward) {
    return {Kind::begin, sameApp, backward, false, false};
  }
  static SwitcherHotkeyEvent cycle(bool forward) { return {Kind::cycle, false, false, forward}; }
  static SwitcherHotkeyEvent move(bool down) { return {Kind::move, false, false, false, down}; }
  static SwitcherHotkeyEvent cancel() { return {Kind::cancel}; }
  static SwitcherHotkeyEvent commit() { return {Kind::commit}; }
  bool operator==(const SwitcherHotkeyEvent&) const = default;
};

// Recognises the switcher's key combinations on a session-wide keyboard hook: the modifier with
// Tab (or the key left of 1 for the front application's windows), Shift for backwards, arrows
// and Escape while a session is up, and the modifier's release to commit. It swallows the keys it
// uses and keeps the hook installed, retrying while it cannot be. Main thread.
class SwitcherHotkey {
 public:
  static constexpr int attemptsBeforeGivingUp = 10;
  static constexpr double retryDelay = 1.0;

  SwitcherHotkey(GlobalKeyboardHook& hook, Scheduler& scheduler, SystemLog& log);
  ~SwitcherHotkey();
  SwitcherHotkey(const SwitcherHotkey&) = delete;
  SwitcherHotkey& operator=(const SwitcherHotkey&) = delete;

  std::function<void(const SwitcherHotkeyEvent&)> handler;

  std::uint64_t modifier() const { return modifier_; }
  void setModifier(std::uint64_t modifier);
  bool isSessionActive() const { return isSessionActive_; }
  void setSessionActive(bool active);
  // A session without the modifier (the window overview): the whole keyboard is held, Return
  // commits and Escape cancels. False when the keyboard cannot be had.
  bool beginOverview();
  bool isOverview() const { return isOverview_; }

  // Wants the hook: tries to install it unless it exists or a retry is pending.
  void enable();
  // Reinstalls a hook the system disabled, or starts trying again after giving up.
  void ensureEnabled();
  void attemptCreate();
  void stop();

  // Classifies one event of the hook; true swallows it.
  bool handle(const GlobalKeyboardHook::Event& event);
  std::optional<SwitcherHotkeyEvent> keyEvent(std::int64_t keyCode, std::uint64_t flags) const;

  bool hasTap() const { return tap_ != nullptr; }
  bool isRetrying() const { return retry_.active(); }
  int attempts() const { return attempts_; }
  bool wantsTap() const { return wantsTap_; }

 private:
  void send(const SwitcherHotkeyEvent& event);

  GlobalKeyboardHook& hook_;
  Scheduler& scheduler_;
  SystemLog& log_;
  std::uint64_t modifier_ = ModifierFlag::option;
  bool isSessionActive_ = false;
  bool isOverview_ = false;
  std::unique_ptr<GlobalKeyboardHook::Tap> tap_;
  bool wantsTap_ = false;
  int attempts_ = 0;
  Subscription retry_;
  std::set<std::int64_t> swallowedKeys_;
  std::shared_ptr<int> lifetime_ = std::make_shared<int>(0);
};

}  // namespace quayline
