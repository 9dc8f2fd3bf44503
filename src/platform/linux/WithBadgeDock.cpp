#include "platform/linux/WithBadgeDock.h"

namespace quayline {

std::vector<RunningApp> WithBadgeDock::runningApplications() {
  std::vector<RunningApp> running = workspace_.runningApplications();
  if (badges_.ownsBusName()) {
    running.push_back(badges_.dockApplication());
  }
  return running;
}

}  // namespace quayline
