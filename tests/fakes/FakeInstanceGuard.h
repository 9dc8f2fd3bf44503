#pragma once

#include "platform/InstanceGuard.h"

namespace quayline {

// The display's claim in memory: this process holds it until it releases it; a test hands it to
// another process by setting `holderPid`.
class FakeInstanceGuard final : public InstanceGuard {
 public:
  Claim claim() override {
    ++claims;
    if (holderPid && *holderPid != ownPid) {
      return Claim::heldElsewhere;
    }
    holderPid = ownPid;
    return Claim::acquired;
  }
  std::optional<ProcessId> holder() override { return holderPid; }
  void release() override {
    ++releases;
    if (holderPid == ownPid) {
      holderPid.reset();
    }
  }

  ProcessId ownPid = 4242;
  std::optional<ProcessId> holderPid = 4242;
  int claims = 0;
  int releases = 0;
};

}  // namespace quayline
