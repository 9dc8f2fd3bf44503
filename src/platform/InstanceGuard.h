#pragma once

#include <optional>
#include <string>

#include "platform/Processes.h"

namespace quayline {

// Keeps one Quayline per user and display: the first start claims the display, later starts
// find it taken and step aside before they touch any setting.
class InstanceGuard {
 public:
  enum class Claim {
    acquired,      // this process is the one; the claim lasts as long as the guard
    heldElsewhere  // another Quayline runs on the same display for the same user
  };

  virtual ~InstanceGuard() = default;

  // Idempotent once acquired. A claim that cannot be checked at all (no writable place to keep
  // it) counts as acquired: a broken runtime folder must not keep the dock from starting.
  virtual Claim claim() = 0;
  // The process holding the claim, when it is known.
  virtual std::optional<ProcessId> holder() = 0;
  // Gives the claim up while this process still runs, so a new copy started in its place can
  // take it; claim() takes it back should that copy fail to start.
  virtual void release() = 0;
};

}  // namespace quayline
