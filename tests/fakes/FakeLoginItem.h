#pragma once

#include <vector>

#include "platform/LoginItem.h"

namespace quayline {

class FakeLoginItem final : public LoginItem {
 public:
  bool setEnabled(bool enabled) override {
    requests.push_back(enabled);
    if (refuses) {
      return false;
    }
    enabled_ = enabled;
    return true;
  }
  bool isEnabled() override { return enabled_; }

  std::vector<bool> requests;
  bool refuses = false;

 private:
  bool enabled_ = false;
};

}  // namespace quayline
