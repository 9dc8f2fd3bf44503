#pragma once

#include <string>

#include "platform/Updater.h"

namespace quayline {

// "Check for Updates…": says where updates of this copy come from. There is no feed of our own
// to poll; an installed package is updated with the rest of the system.
class UpdateService {
 public:
  struct Report {
    std::string title;
    std::string text;
    bool operator==(const Report&) const = default;
  };

  UpdateService(Updater& updater, std::string version)
      : updater_(updater), version_(std::move(version)) {}

  Report checkForUpdates();

 private:
  Updater& updater_;
  std::string version_;
};

}  // namespace quayline
