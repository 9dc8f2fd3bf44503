#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "foundation/Scheduler.h"
#include "platform/PointerMotion.h"
#include "platform/SystemLog.h"
#include "platform/linux/x11/XConnection.h"

namespace quayline::x11 {

// Pointer motion, button and key presses from the XInput 2 raw events of every master device,
// selected on the root window. Raw events reach every client that asks, without a grab, and the
// server sends none while nothing happens, so watching costs nothing while idle. Each kind is
// selected only while someone observes it.
class RawPointerMotion final : public PointerMotion {
 public:
  RawPointerMotion(XConnection& connection, Scheduler& scheduler, SystemLog& log);
  ~RawPointerMotion() override;
  RawPointerMotion(const RawPointerMotion&) = delete;
  RawPointerMotion& operator=(const RawPointerMotion&) = delete;

  Subscription observeMotion(std::function<void()> observer) override;
  Subscription observePresses(std::function<void(Press)> observer) override;

 private:
  struct State {
    XConnection& connection;
    Scheduler& scheduler;
    std::map<std::uint64_t, std::function<void()>> observers;
    std::map<std::uint64_t, std::function<void(Press)>> pressObservers;
    std::uint64_t nextObserver = 0;
    bool notificationPosted = false;
    std::uint8_t opcode = 0;
    std::uint32_t selected = 0;
    std::vector<std::uint8_t> escapeKeys;  // the key codes that produce Escape
    Subscription events;

    // Selects what the observers want now; listens to the connection only while anything is.
    void update(const std::weak_ptr<State>& self);
    void handle(const xcb_generic_event_t& event, const std::weak_ptr<State>& self);
    void notify();
    void notifyPress(Press press);
  };
  Subscription removal(std::uint64_t id);

  // The extension's major opcode; queried at the first observation, so a program that never
  // watches the pointer pays no round trip.
  std::optional<std::uint8_t> extension();

  SystemLog& log_;
  std::shared_ptr<State> state_;
  bool queried_ = false;
  bool available_ = false;
};

}  // namespace quayline::x11
