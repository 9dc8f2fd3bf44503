#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "foundation/Subscription.h"

namespace quayline {

// A list of callbacks. Callbacks added or removed while an emission runs take effect for the
// next emission; a removed callback is never called again, even within the running emission.
template <typename... Args>
class Signal {
 public:
  using Callback = std::function<void(const Args&...)>;

  Signal() : slots_(std::make_shared<Slots>()) {}
  // A signal destroyed by one of its callbacks drops the callbacks its emission has not reached
  // yet: their arguments often belong to the signal's owner, which is being destroyed too.
  ~Signal() { slots_->callbacks.clear(); }
  Signal(const Signal&) = delete;
  Signal& operator=(const Signal&) = delete;

  Subscription connect(Callback callback) {
    const std::uint64_t id = slots_->next++;
    slots_->callbacks.emplace(id, std::make_shared<Callback>(std::move(callback)));
    std::weak_ptr<Slots> weak = slots_;
    return Subscription([weak, id] {
      if (auto slots = weak.lock()) {
        slots->callbacks.erase(id);
      }
    });
  }

  void emit(const Args&... args) const {
    auto slots = slots_;  // keeps the registry alive if the owner dies inside a callback
    const auto snapshot = slots->callbacks;
    for (const auto& [id, callback] : snapshot) {
      if (slots->callbacks.count(id) != 0) {
        (*callback)(args...);
      }
    }
  }

  std::size_t connectionCount() const { return slots_->callbacks.size(); }

 private:
  struct Slots {
    std::uint64_t next = 0;
    std::map<std::uint64_t, std::shared_ptr<Callback>> callbacks;
  };
  std::shared_ptr<Slots> slots_;
};

}  // namespace quayline
