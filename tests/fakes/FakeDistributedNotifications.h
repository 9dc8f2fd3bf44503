#pragma once

#include <map>
#include <string>
#include <vector>

#include "foundation/Signal.h"
#include "platform/DistributedNotifications.h"

namespace quayline {

// Delivers posts to observers in this process at once, and records every post.
class FakeDistributedNotifications final : public DistributedNotifications {
 public:
  void post(std::string_view name) override {
    posted.emplace_back(name);
    auto found = signals_.find(std::string(name));
    if (found != signals_.end()) {
      found->second.emit();
    }
  }
  Subscription observe(std::string_view name, std::function<void()> callback) override {
    return signals_[std::string(name)].connect([callback = std::move(callback)] { callback(); });
  }

  std::vector<std::string> posted;

 private:
  std::map<std::string, Signal<>> signals_;
};

}  // namespace quayline
