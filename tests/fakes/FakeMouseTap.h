#pragma once

#include <memory>
#include <optional>

#include "platform/MouseTap.h"

namespace quayline {

// A mouse tap the test clicks into. Creation fails while `refuse` is set; `down` and `up`
// deliver events to the installed tap and return whether they were swallowed. `under` is the
// window the next clicks land on; `windowQueries` counts how often the tap asked for it.
class FakeMouseTap final : public MouseTap {
 public:
  struct State {
    Callback callback;
    bool installed = false;
    bool enabled = true;
  };

  std::unique_ptr<Tap> create(Callback callback) override {
    ++creations;
    if (refuse) {
      return nullptr;
    }
    *state = State{std::move(callback), true, true};
    return std::make_unique<FakeTap>(state);
  }
  std::string_view refusalReason() const override { return "button taken"; }

  bool send(EventType type, Point location) {
    return state->installed && state->callback({type, location, [this]() -> std::optional<Window> {
                                                  ++windowQueries;
                                                  return under;
                                                }});
  }
  bool down(Point location) { return send(EventType::leftMouseDown, location); }
  bool up(Point location) { return send(EventType::leftMouseUp, location); }

  bool refuse = false;
  int creations = 0;
  int windowQueries = 0;
  std::optional<Window> under;
  std::shared_ptr<State> state = std::make_shared<State>();

 private:
  class FakeTap final : public Tap {
   public:
    explicit FakeTap(std::shared_ptr<State> state) : state_(std::move(state)) {}
    ~FakeTap() override { state_->installed = false; }
    bool isEnabled() const override { return state_->enabled; }
    void enable() override { state_->enabled = true; }

   private:
    std::shared_ptr<State> state_;
  };
};

}  // namespace quayline
