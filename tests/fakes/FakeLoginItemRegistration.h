#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/LoginItemRegistration.h"

namespace quayline {

// The registration as a status; records what was asked of it.
class FakeLoginItemRegistration final : public LoginItemRegistration {
 public:
  Status status() override { return current; }
  std::optional<std::string> registerProgram(const std::string& executable) override {
    calls.push_back("register " + executable);
    if (!error) {
      current = Status::enabled;
    }
    return error;
  }
  std::optional<std::string> unregister() override {
    calls.push_back("unregister");
    if (!error) {
      current = Status::notRegistered;
    }
    return error;
  }

  Status current = Status::notRegistered;
  std::optional<std::string> error;
  std::vector<std::string> calls;
};

}  // namespace quayline
