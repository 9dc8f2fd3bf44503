#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/InstallPlace.h"

namespace quayline {

// The running copy's place as the test sets it; installs are recorded, and fail when asked to.
class FakeInstallPlace final : public InstallPlace {
 public:
  RunningCopy runningCopy() override { return copy; }
  std::string userPrefix() override { return user; }
  bool isRunningFrom(const std::string& prefix) override { return prefix == runningElsewhere; }
  std::optional<std::string> installInto(const std::string& prefix) override {
    installs.push_back(prefix);
    return installError;
  }

  RunningCopy copy{"/usr"};
  std::string user = "/home/tester/.local";
  std::string runningElsewhere;
  std::optional<std::string> installError;
  std::vector<std::string> installs;
};

}  // namespace quayline
