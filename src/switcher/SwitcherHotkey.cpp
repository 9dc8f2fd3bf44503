#include "switcher/SwitcherHotkey.h"

#include <string>

#include "foundation/Scheduler.h"
#include "platform/SystemLog.h"

namespace quayline {

SwitcherHotkey::SwitcherHotkey(GlobalKeyboardHook& hook, Scheduler& scheduler, SystemLog& log)
    : hook_(hook), scheduler_(scheduler), log_(log) {}

SwitcherHotkey::~SwitcherHotkey() = default;

void SwitcherHotkey::setModifier(std::uint64_t modifier) {
  modifier_ = modifier;
  if (tap_) {
    tap_->setModifier(modifier);
  }
}

void SwitcherHotkey::setSessionActive(bool active) {
  isSessionActive_ = active;
  if (!active) {
    isOverview_ = false;
  }
  if (tap_) {
    tap_->setSessionActive(active);
    // A hook made for the overview alone goes with it.
    if (!active && !wantsTap_) {
      tap_.reset();
    }
  }
}

bool SwitcherHotkey::beginOverview() {
  if (!tap_) {
    tap_ = hook_.create(modifier_,
                        [this](const GlobalKeyboardHook::Event& event) { return handle(event); });
  }
  if (!tap_ || !tap_->holdKeyboard()) {
    if (!wantsTap_) {
      tap_.reset();
    }
    return false;
  }
  isOverview_ = true;
  setSessionActive(true);
  return true;
}

void SwitcherHotkey::enable() {
  wantsTap_ = true;
  if (!tap_ && !retry_.active()) {
    attempts_ = 0;
    attemptCreate();
  }
}

void SwitcherHotkey::ensureEnabled() {
  if (!wantsTap_) {
    return;
  }
  if (tap_) {
    if (!tap_->isEnabled()) {
      tap_->enable();
    }
  } else if (!retry_.active()) {
    attempts_ = 0;
    attemptCreate();
  }
}

void SwitcherHotkey::attemptCreate() {
  retry_.reset();
  ++attempts_;
  // The hook calls back only while it exists, and it exists only inside this object.
  tap_ = hook_.create(modifier_,
                      [this](const GlobalKeyboardHook::Event& event) { return handle(event); });
  if (tap_) {
    return;
  }
  if (attempts_ > attemptsBeforeGivingUp - 1) {
    log_.log("switcher", "SwitcherHotkey: tapCreate failed " + std::to_string(attempts_) +
                             " times; Accessibility not granted? ensureEnabled() retries.");
    return;
  }
  retry_ = scheduler_.after(Scheduler::Seconds(retryDelay),
                            [this, alive = std::weak_ptr<int>(lifetime_)] {
                              if (alive.lock()) {
                                attemptCreate();
                              }
                            });
}

void SwitcherHotkey::stop() {
  wantsTap_ = false;
  retry_.reset();
  tap_.reset();
  swallowedKeys_.clear();
  isSessionActive_ = false;
}

bool SwitcherHotkey::handle(const GlobalKeyboardHook::Event& event) {
  using Type = GlobalKeyboardHook::EventType;
  switch (event.type) {
    case Type::disabledByTimeout:
    case Type::disabledByUserInput:
      if (tap_) {
        tap_->enable();
      }
      return false;
    case Type::keyDown:
      if (const auto recognised = keyEvent(event.keyCode, event.flags)) {
        swallowedKeys_.insert(event.keyCode);
        send(*recognised);
        return true;
      }
      return false;
    case Type::keyUp:
      return swallowedKeys_.erase(event.keyCode) > 0;
    case Type::flagsChanged:
      if (isSessionActive_ && !isOverview_ && (event.flags & modifier_) != modifier_) {
        send(SwitcherHotkeyEvent::commit());
      }
      return false;
  }
  return false;
}

std::optional<SwitcherHotkeyEvent> SwitcherHotkey::keyEvent(std::int64_t keyCode,
                                                            std::uint64_t flags) const {
  const bool shift = (flags & ModifierFlag::shift) != 0;
  if (isSessionActive_) {
    switch (keyCode) {
      case VirtualKey::section:
      case VirtualKey::tab:
      case VirtualKey::grave:
        return SwitcherHotkeyEvent::cycle(!shift);
      case VirtualKey::escape:
        return SwitcherHotkeyEvent::cancel();
      case VirtualKey::returnKey:
        if (isOverview_) {
          return SwitcherHotkeyEvent::commit();
        }
        return std::nullopt;
      case VirtualKey::leftArrow:
        return SwitcherHotkeyEvent::cycle(false);
      case VirtualKey::rightArrow:
        return SwitcherHotkeyEvent::cycle(true);
      case VirtualKey::downArrow:
        return SwitcherHotkeyEvent::move(true);
      case VirtualKey::upArrow:
        return SwitcherHotkeyEvent::move(false);
      default:
        return std::nullopt;
    }
  }
  if ((flags & modifier_) != modifier_) {
    return std::nullopt;
  }
  switch (keyCode) {
    case VirtualKey::section:
    case VirtualKey::grave:
      return SwitcherHotkeyEvent::begin(true, shift);
    case VirtualKey::tab:
      return SwitcherHotkeyEvent::begin(false, shift);
    default:
      return std::nullopt;
  }
}

void SwitcherHotkey::send(const SwitcherHotkeyEvent& event) {
  if (handler) {
    handler(event);
  }
}

}  // namespace quayline
