#include "platform/linux/x11/X11KeyboardHook.h"

#include <xcb/xcb_keysyms.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdlib>
#include <map>
#include <vector>

#include "foundation/Subscription.h"
#include "platform/SystemLog.h"
#include "platform/linux/QueuedCall.h"
#include "platform/linux/x11/XConnection.h"

namespace quayline::x11 {

namespace {

constexpr auto kReplyTimeout = std::chrono::seconds(1);

// Keysyms (X11/keysymdef.h).
constexpr xcb_keysym_t kTab = 0xff09;
constexpr xcb_keysym_t kGrave = 0x0060;
constexpr xcb_keysym_t kSection = 0x00a7;
constexpr xcb_keysym_t kEscape = 0xff1b;
constexpr xcb_keysym_t kReturn = 0xff0d;
constexpr xcb_keysym_t kKeypadEnter = 0xff8d;
constexpr xcb_keysym_t kLeft = 0xff51;
constexpr xcb_keysym_t kUp = 0xff52;
constexpr xcb_keysym_t kRight = 0xff53;
constexpr xcb_keysym_t kDown = 0xff54;
constexpr xcb_keysym_t kAltL = 0xffe9;
constexpr xcb_keysym_t kAltR = 0xffea;
constexpr xcb_keysym_t kSuperL = 0xffeb;
constexpr xcb_keysym_t kSuperR = 0xffec;
constexpr xcb_keysym_t kNumLock = 0xff7f;

std::int64_t virtualKey(xcb_keysym_t symbol) {
  switch (symbol) {
    case kTab:
      return VirtualKey::tab;
    case kGrave:
      return VirtualKey::grave;
    case kSection:
      return VirtualKey::section;
    case kEscape:
      return VirtualKey::escape;
    case kReturn:
    case kKeypadEnter:
      return VirtualKey::returnKey;
    case kLeft:
      return VirtualKey::leftArrow;
    case kRight:
      return VirtualKey::rightArrow;
    case kDown:
      return VirtualKey::downArrow;
    case kUp:
      return VirtualKey::upArrow;
    default:
      return VirtualKey::other;
  }
}

Deadline deadline() {
  return std::chrono::steady_clock::now() + kReplyTimeout;
}

}  // namespace

std::uint64_t X11KeyboardHook::flagsFromState(std::uint16_t state, std::uint16_t alt,
                                              std::uint16_t super) {
  std::uint64_t flags = 0;
  if ((state & XCB_MOD_MASK_SHIFT) != 0) {
    flags |= ModifierFlag::shift;
  }
  if ((state & XCB_MOD_MASK_LOCK) != 0) {
    flags |= ModifierFlag::capsLock;
  }
  if ((state & XCB_MOD_MASK_CONTROL) != 0) {
    flags |= ModifierFlag::control;
  }
  if ((state & alt) != 0) {
    flags |= ModifierFlag::option;
  }
  if ((state & super) != 0) {
    flags |= ModifierFlag::command;
  }
  return flags;
}

class X11KeyboardHook::KeyTap final : public GlobalKeyboardHook::Tap {
 public:
  KeyTap(XConnection& connection, std::uint64_t modifier, Callback callback)
      : connection_(connection),
        callback_(std::move(callback)),
        modifier_(modifier),
        symbols_(xcb_key_symbols_alloc(connection.raw())) {
    readModifierMapping();
    events_ = connection_.listen([this](const xcb_generic_event_t& event) { handle(event); });
  }

  ~KeyTap() override {
    events_.reset();
    ungrabKeys();
    releaseKeyboard();
    connection_.flush();
    if (symbols_ != nullptr) {
      xcb_key_symbols_free(symbols_);
    }
  }

  KeyTap(const KeyTap&) = delete;
  KeyTap& operator=(const KeyTap&) = delete;

  bool isEnabled() const override { return grabbed_; }
  void enable() override {
    if (!grabbed_) {
      grabKeys();
    }
  }
  void setModifier(std::uint64_t modifier) override {
    if (modifier == modifier_) {
      return;
    }
    modifier_ = modifier;
    if (grabbed_) {
      ungrabKeys();
      grabKeys();
    }
  }
  void setSessionActive(bool active) override {
    sessionActive_ = active;
    if (!active) {
      withoutModifier_ = false;
      releaseKeyboard();
      connection_.flush();
    }
  }

  bool holdKeyboard() override {
    if (!holding_) {
      const auto grab = connection_.take<xcb_grab_keyboard_reply_t>(
          xcb_grab_keyboard(connection_.raw(), 0, connection_.root(), XCB_CURRENT_TIME,
                            XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)
              .sequence,
          deadline());
      if (!grab || grab->status != XCB_GRAB_STATUS_SUCCESS) {
        return false;
      }
      holding_ = true;
    }
    withoutModifier_ = true;
    return true;
  }

  // Grabs the shortcut's keys with the modifier and every mix of Shift, Control and the locks.
  // False when any of them is taken; then none is kept.
  bool grabKeys() {
    const std::uint16_t base = modifierMask();
    const std::uint16_t extras[] = {XCB_MOD_MASK_SHIFT, XCB_MOD_MASK_CONTROL, XCB_MOD_MASK_LOCK,
                                    numLock_};
    std::vector<xcb_void_cookie_t> cookies;
    grabs_.clear();
    for (const xcb_keycode_t key : shortcutKeys()) {
      for (unsigned mix = 0; mix < 16; ++mix) {
        std::uint16_t modifiers = base;
        for (unsigned bit = 0; bit < 4; ++bit) {
          if ((mix & (1u << bit)) != 0) {
            modifiers |= extras[bit];
          }
        }
        cookies.push_back(xcb_grab_key_checked(connection_.raw(), 0, connection_.root(), modifiers,
                                               key, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_SYNC));
        grabs_.emplace_back(key, modifiers);
      }
    }
    // A reply to a later request means every grab has been answered.
    connection_.take<xcb_get_input_focus_reply_t>(xcb_get_input_focus(connection_.raw()).sequence,
                                                  deadline());
    bool refused = grabs_.empty();
    for (const xcb_void_cookie_t cookie : cookies) {
      if (xcb_generic_error_t* error = xcb_request_check(connection_.raw(), cookie)) {
        refused = true;
        std::free(error);
      }
    }
    grabbed_ = !refused;
    if (refused) {
      ungrabKeys();
    }
    connection_.flush();
    return grabbed_;
  }

 private:
  void readModifierMapping() {
    modifierKeys_.clear();
    alt_ = XCB_MOD_MASK_1;
    super_ = XCB_MOD_MASK_4;
    numLock_ = XCB_MOD_MASK_2;
    const auto mapping = connection_.take<xcb_get_modifier_mapping_reply_t>(
        xcb_get_modifier_mapping(connection_.raw()).sequence, deadline());
    if (!mapping || symbols_ == nullptr) {
      return;
    }
    const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(mapping.get());
    const int perModifier = mapping->keycodes_per_modifier;
    bool altFound = false;
    bool superFound = false;
    for (int index = 0; index < 8; ++index) {
      const auto mask = static_cast<std::uint16_t>(1u << index);
      for (int slot = 0; slot < perModifier; ++slot) {
        const xcb_keycode_t code = codes[index * perModifier + slot];
        if (code == 0) {
          continue;
        }
        modifierKeys_[code] = mask;
        const xcb_keysym_t symbol = xcb_key_symbols_get_keysym(symbols_, code, 0);
        // Shift and the locks are never Alt, Super or NumLock, whatever their keys produce.
        if (index < 3) {
          continue;
        }
        if ((symbol == kAltL || symbol == kAltR) && !altFound) {
          alt_ = mask;
          altFound = true;
        } else if ((symbol == kSuperL || symbol == kSuperR) && !superFound) {
          super_ = mask;
          superFound = true;
        } else if (symbol == kNumLock) {
          numLock_ = mask;
        }
      }
    }
  }

  std::uint16_t modifierMask() const {
    std::uint16_t mask = 0;
    if ((modifier_ & ModifierFlag::option) != 0) {
      mask |= alt_;
    }
    if ((modifier_ & ModifierFlag::command) != 0) {
      mask |= super_;
    }
    if ((modifier_ & ModifierFlag::control) != 0) {
      mask |= XCB_MOD_MASK_CONTROL;
    }
    if ((modifier_ & ModifierFlag::shift) != 0) {
      mask |= XCB_MOD_MASK_SHIFT;
    }
    return mask;
  }

  std::vector<xcb_keycode_t> shortcutKeys() const {
    std::vector<xcb_keycode_t> keys;
    if (symbols_ == nullptr) {
      return keys;
    }
    for (const xcb_keysym_t symbol : {kTab, kGrave, kSection}) {
      xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols_, symbol);
      if (codes == nullptr) {
        continue;
      }
      for (const xcb_keycode_t* code = codes; *code != XCB_NO_SYMBOL; ++code) {
        // Only keys that give the symbol unshifted: a shifted grave is another key's tilde.
        if (xcb_key_symbols_get_keysym(symbols_, *code, 0) == symbol) {
          keys.push_back(*code);
        }
      }
      std::free(codes);
    }
    return keys;
  }

  void ungrabKeys() {
    for (const auto& [key, modifiers] : grabs_) {
      xcb_ungrab_key(connection_.raw(), key, connection_.root(), modifiers);
    }
    grabs_.clear();
    grabbed_ = false;
  }

  void releaseKeyboard() {
    if (holding_) {
      holding_ = false;
      xcb_ungrab_keyboard(connection_.raw(), XCB_CURRENT_TIME);
    }
  }

  std::uint64_t flags(std::uint16_t state) const { return flagsFromState(state, alt_, super_); }

  void handle(const xcb_generic_event_t& event) {
    switch (event.response_type & 0x7f) {
      case XCB_KEY_PRESS:
        pressed(reinterpret_cast<const xcb_key_press_event_t&>(event));
        return;
      case XCB_KEY_RELEASE:
        released(reinterpret_cast<const xcb_key_release_event_t&>(event));
        return;
      case XCB_MAPPING_NOTIFY:
        remapped(reinterpret_cast<const xcb_mapping_notify_event_t&>(event));
        return;
      default:
        return;
    }
  }

  bool isShortcut(const xcb_key_press_event_t& event) const {
    for (const auto& [key, modifiers] : grabs_) {
      if (key == event.detail && modifiers == event.state) {
        return true;
      }
    }
    return false;
  }

  void pressed(const xcb_key_press_event_t& event) {
    if (!holding_) {
      // Other grabs of this connection see their own keys.
      if (!isShortcut(event)) {
        return;
      }
      // A grabbed shortcut key froze the keyboard. Take all of it and let it go on before
      // anything else, so that no release, the modifier's least of all, is missed or held up.
      xcb_grab_keyboard(connection_.raw(), 0, connection_.root(), event.time, XCB_GRAB_MODE_ASYNC,
                        XCB_GRAB_MODE_ASYNC);
      xcb_allow_events(connection_.raw(), XCB_ALLOW_ASYNC_KEYBOARD, event.time);
      connection_.flush();
      holding_ = true;
    }
    std::uint16_t state = event.state;
    if (const auto modifier = modifierKeys_.find(event.detail); modifier != modifierKeys_.end()) {
      state |= modifier->second;
      callback_({EventType::flagsChanged, VirtualKey::other, flags(state)});
    } else if (sessionActive_ && !withoutModifier_ && (state & modifierMask()) != modifierMask()) {
      // A key typed without the modifier held: whatever became of its release, the session is
      // over, and the keyboard must not stay ours.
      callback_({EventType::flagsChanged, VirtualKey::other, flags(state)});
      if (!holding_) {
        return;
      }
    }
    callback_({EventType::keyDown, keyCode(event.detail), flags(state)});
    if (!sessionActive_) {
      // No session came of it: the keyboard goes back to everyone.
      releaseKeyboard();
      connection_.flush();
      return;
    }
    if (withoutModifier_) {
      return;
    }
    // The modifier may have been let go before the keyboard was ours. The server's state is
    // ahead of the events still on their way here, the modifier's own release among them: decide
    // once those have been handled, and only if none of them ended the session.
    const auto pointer = connection_.take<xcb_query_pointer_reply_t>(
        xcb_query_pointer(connection_.raw(), connection_.root()).sequence, deadline());
    if (!pointer || (pointer->mask & modifierMask()) == modifierMask()) {
      return;
    }
    const std::uint64_t releases = modifierReleases_;
    const std::uint64_t flagsNow = flags(pointer->mask);
    queueCall(QCoreApplication::instance(),
              [this, alive = std::weak_ptr<int>(lifetime_), releases, flagsNow] {
                if (alive.lock() && sessionActive_ && modifierReleases_ == releases) {
                  callback_({EventType::flagsChanged, VirtualKey::other, flagsNow});
                }
              });
  }

  void released(const xcb_key_release_event_t& event) {
    if (!holding_) {
      return;
    }
    std::uint16_t state = event.state;
    callback_({EventType::keyUp, keyCode(event.detail), flags(state)});
    if (const auto modifier = modifierKeys_.find(event.detail); modifier != modifierKeys_.end()) {
      ++modifierReleases_;
      state &= static_cast<std::uint16_t>(~modifier->second);
      callback_({EventType::flagsChanged, VirtualKey::other, flags(state)});
    }
  }

  void remapped(const xcb_mapping_notify_event_t& event) {
    if (event.request == XCB_MAPPING_POINTER) {
      return;
    }
    if (symbols_ != nullptr) {
      xcb_refresh_keyboard_mapping(symbols_, const_cast<xcb_mapping_notify_event_t*>(&event));
    }
    readModifierMapping();
    if (grabbed_) {
      ungrabKeys();
      grabKeys();
    }
  }

  std::int64_t keyCode(xcb_keycode_t code) const {
    return symbols_ == nullptr ? VirtualKey::other
                               : virtualKey(xcb_key_symbols_get_keysym(symbols_, code, 0));
  }

  XConnection& connection_;
  Callback callback_;
  std::uint64_t modifier_;
  xcb_key_symbols_t* symbols_;
  std::uint16_t alt_ = XCB_MOD_MASK_1;
  std::uint16_t super_ = XCB_MOD_MASK_4;
  std::uint16_t numLock_ = XCB_MOD_MASK_2;
  std::map<xcb_keycode_t, std::uint16_t> modifierKeys_;
  std::vector<std::pair<xcb_keycode_t, std::uint16_t>> grabs_;
  bool grabbed_ = false;
  bool holding_ = false;
  bool sessionActive_ = false;
  // A session held without the shortcut: its keys need no modifier.
  bool withoutModifier_ = false;
  std::uint64_t modifierReleases_ = 0;
  std::shared_ptr<int> lifetime_ = std::make_shared<int>(0);
  Subscription events_;
};

X11KeyboardHook::X11KeyboardHook(XConnection& connection, SystemLog& log)
    : connection_(connection), log_(log) {}

std::unique_ptr<GlobalKeyboardHook::Tap> X11KeyboardHook::create(std::uint64_t modifier,
                                                                 Callback callback) {
  auto tap = std::make_unique<KeyTap>(connection_, modifier, std::move(callback));
  if (!tap->grabKeys()) {
    if (!std::exchange(toldRefusal_, true)) {
      log_.log("x11",
               std::string("the switcher's shortcut (") +
                   (modifier & ModifierFlag::command ? "Super" : "Alt") +
                   "+Tab) is taken by another program, usually the window manager; free it there "
                   "to use the switcher");
    }
    return nullptr;
  }
  toldRefusal_ = false;
  return tap;
}

}  // namespace quayline::x11
