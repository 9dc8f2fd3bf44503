#pragma once

#include <memory>

#include "platform/GlobalKeyboardHook.h"

namespace quayline {

// A keyboard hook the test types into. Creation fails while `refuse` is set; `press`, `release`
// and `flags` deliver events to the installed tap and return whether they were swallowed.
class FakeKeyboardHook final : public GlobalKeyboardHook {
 public:
  struct State {
    Callback callback;
    bool installed = false;
    bool enabled = true;
    std::uint64_t modifier = 0;
    bool sessionActive = false;
    bool held = false;
  };

  std::unique_ptr<Tap> create(std::uint64_t modifier, Callback callback) override {
    ++creations;
    if (refuse) {
      return nullptr;
    }
    *state = State{std::move(callback), true, true, modifier, false};
    return std::make_unique<FakeTap>(state);
  }

  bool send(EventType type, std::int64_t key, std::uint64_t flags) {
    return state->installed && state->callback({type, key, flags});
  }
  bool press(std::int64_t key, std::uint64_t flags) { return send(EventType::keyDown, key, flags); }
  bool release(std::int64_t key, std::uint64_t flags) { return send(EventType::keyUp, key, flags); }
  bool flags(std::uint64_t flags) {
    return send(EventType::flagsChanged, VirtualKey::other, flags);
  }

  bool refuse = false;
  int creations = 0;
  std::shared_ptr<State> state = std::make_shared<State>();

 private:
  class FakeTap final : public Tap {
   public:
    explicit FakeTap(std::shared_ptr<State> state) : state_(std::move(state)) {}
    ~FakeTap() override { state_->installed = false; }
    bool isEnabled() const override { return state_->enabled; }
    void enable() override { state_->enabled = true; }
    void setModifier(std::uint64_t modifier) override { state_->modifier = modifier; }
    void setSessionActive(bool active) override {
      state_->sessionActive = active;
      state_->held = state_->held && active;
    }
    bool holdKeyboard() override { return state_->held = true; }

   private:
    std::shared_ptr<State> state_;
  };
};

}  // namespace quayline
