#pragma once

#include <optional>
#include <vector>

#include "chrome/ChromeInstance.h"

namespace quayline {

// The browser's processes as the test sets them: no main browser and no secondary instances
// until told otherwise.
class FakeChromeInstances final : public ChromeInstances {
 public:
  std::optional<ProcessId> mainBrowserProcessIdentifier() override { return mainBrowser; }
  std::vector<ChromeInstance> secondaryInstances() override { return secondary; }

  std::optional<ProcessId> mainBrowser;
  std::vector<ChromeInstance> secondary;
};

}  // namespace quayline
