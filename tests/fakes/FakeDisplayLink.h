#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "platform/DisplayLink.h"

namespace quayline {

// Display links driven by the test: `refresh()` plays one display refresh on every live,
// unpaused link. The factory records how many links were made.
class FakeDisplayLinks {
 public:
  class Link final : public DisplayLink {
   public:
    Link(std::shared_ptr<std::vector<Link*>> live, std::function<void()> step)
        : live_(std::move(live)), step_(std::move(step)) {
      live_->push_back(this);
    }
    ~Link() override { std::erase(*live_, this); }
    void setPaused(bool paused) override { paused_ = paused; }
    bool isPaused() const override { return paused_; }
    void fire() { step_(); }

   private:
    std::shared_ptr<std::vector<Link*>> live_;
    std::function<void()> step_;
    bool paused_ = true;
  };

  DisplayLinkFactory factory() {
    return [this](std::function<void()> step) {
      ++made;
      return std::make_unique<Link>(live_, std::move(step));
    };
  }

  // Returns whether any link ran.
  bool refresh() {
    bool ran = false;
    const auto snapshot = *live_;
    for (Link* link : snapshot) {
      if (std::find(live_->begin(), live_->end(), link) != live_->end() && !link->isPaused()) {
        link->fire();
        ran = true;
      }
    }
    return ran;
  }
  std::size_t live() const { return live_->size(); }

  int made = 0;

 private:
  std::shared_ptr<std::vector<Link*>> live_ = std::make_shared<std::vector<Link*>>();
};

}  // namespace quayline
