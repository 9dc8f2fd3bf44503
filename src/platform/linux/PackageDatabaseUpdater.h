#pragma once

#include <string>

#include "platform/Updater.h"

namespace quayline {

class Processes;

// Updates come through the system's package manager: the package that owns the running program
// and its version come from the package database (dpkg-query). Nothing is fetched from a network.
class PackageDatabaseUpdater final : public Updater {
 public:
  static constexpr const char* packageQuery = "/usr/bin/dpkg-query";

  PackageDatabaseUpdater(Processes& processes, std::string program)
      : processes_(processes), program_(std::move(program)) {}

  Source source() override;

 private:
  Processes& processes_;
  std::string program_;
};

}  // namespace quayline
