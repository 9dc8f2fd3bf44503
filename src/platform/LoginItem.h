#pragma once

namespace quayline {

// The system's registration of Quayline as a program started at login.
class LoginItem {
 public:
  virtual ~LoginItem() = default;
  // Registers or unregisters; false when the system refused.
  virtual bool setEnabled(bool enabled) = 0;
  virtual bool isEnabled() = 0;
};

}  // namespace quayline
