#pragma once

#include <optional>
#include <string>

#include "platform/Paths.h"

namespace quayline {

// Folders chosen by the test, usually inside a temporary directory.
class FakePaths final : public Paths {
 public:
  std::string homeDirectory() override { return home; }
  std::string applicationSupportDirectory() override { return applicationSupport; }
  std::optional<std::string> downloadsDirectory() override { return downloads; }

  std::string home = "/home/tester";
  std::string applicationSupport = "/home/tester/.local/share";
  std::optional<std::string> downloads = "/home/tester/Downloads";
};

}  // namespace quayline
