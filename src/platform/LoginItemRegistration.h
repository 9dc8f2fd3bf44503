#pragma once

#include <optional>
#include <string>

namespace quayline {

// The system's record that a program starts when the user logs in.
class LoginItemRegistration {
 public:
  enum class Status {
    notRegistered,
    enabled,
    // Registered, but switched off by the user in the desktop's own settings; only the user
    // can switch it on again there.
    requiresApproval,
    // Registered for a program the system can no longer find.
    notFound,
  };

  virtual ~LoginItemRegistration() = default;
  virtual Status status() = 0;
  // Registers the program at this absolute path. Nothing on success, else why it failed.
  virtual std::optional<std::string> registerProgram(const std::string& executable) = 0;
  // Removes the registration, whatever its status. Nothing on success, else why it failed.
  virtual std::optional<std::string> unregister() = 0;
};

}  // namespace quayline
