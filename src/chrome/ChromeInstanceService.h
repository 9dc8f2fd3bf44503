#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "chrome/ChromeInstance.h"

namespace quayline {

class Processes;
class Workspace;
struct RunningApp;

// Tells the user's main browser from instances started with their own `--user-data-dir=`, by
// the command lines of the running browser processes.
class ChromeInstanceService final : public ChromeInstances {
 public:
  // Past this many cached command lines, those of processes no longer running are dropped.
  static constexpr std::size_t cacheLimit = 64;

  ChromeInstanceService(Workspace& workspace, Processes& processes)
      : workspace_(workspace), processes_(processes) {}

  std::optional<ProcessId> mainBrowserProcessIdentifier() override;
  std::vector<ChromeInstance> secondaryInstances() override;
  std::optional<std::string> userDataDirectory(ProcessId pid);

  // What to call an instance, from its data directory ("/tmp/my_test-profile/Default" gives
  // "My Test Profile").
  static std::string name(std::string_view userDataDirectory);
  // The browser uses the last `--user-data-dir=` it is given; none when there is none.
  static std::optional<std::string> userDataDirectory(const std::vector<std::string>& arguments);

  std::size_t cachedCommandLines() const { return argumentCache_.size(); }

 private:
  // A process id is reused once its process ends: the launch date tells the two apart.
  using CacheKey = std::pair<ProcessId, std::optional<double>>;

  std::vector<RunningApp> browsers();
  const std::vector<std::string>& arguments(const RunningApp& app);

  Workspace& workspace_;
  Processes& processes_;
  std::map<CacheKey, std::vector<std::string>> argumentCache_;
};

}  // namespace quayline
