#pragma once

#include "platform/LoginItem.h"

namespace quayline {

class SystemLog;

// Starting at login is not built for Linux yet: every request is refused and logged, so the
// preference is kept but nothing pretends to have registered.
class UnavailableLoginItem final : public LoginItem {
 public:
  explicit UnavailableLoginItem(SystemLog& log) : log_(log) {}
  bool setEnabled(bool enabled) override;
  bool isEnabled() override { return false; }

 private:
  SystemLog& log_;
};

}  // namespace quayline
