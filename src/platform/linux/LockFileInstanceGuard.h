#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/InstanceGuard.h"

namespace quayline {

class SystemLog;

// The claim is an advisory lock (flock) on a file in the user's runtime folder, one file per X
// display. The kernel drops the lock when the holding process ends however it ends, so a lock
// file left by a crashed dock never blocks the next start; the file itself holds the holder's
// process id only for the message a second start prints.
class LockFileInstanceGuard final : public InstanceGuard {
 public:
  // `runtimeDirectory` is $XDG_RUNTIME_DIR (or a private folder under /tmp when unset).
  LockFileInstanceGuard(std::filesystem::path runtimeDirectory, std::string_view display,
                        SystemLog& log);
  ~LockFileInstanceGuard() override;
  LockFileInstanceGuard(const LockFileInstanceGuard&) = delete;
  LockFileInstanceGuard& operator=(const LockFileInstanceGuard&) = delete;

  Claim claim() override;
  std::optional<ProcessId> holder() override;
  void release() override;

  const std::filesystem::path& lockPath() const { return path_; }

  // The user's runtime folder: $XDG_RUNTIME_DIR when it is an absolute path, else
  // /tmp/quayline-<uid>, created private to the user.
  static std::filesystem::path defaultRuntimeDirectory();
  // One name per display whatever way DISPLAY spells it: ":0", ":0.0" and "unix:0" are the
  // same display; the screen number is dropped. Only [A-Za-z0-9._-] survive.
  static std::string displayKey(std::string_view display);

 private:
  std::filesystem::path path_;
  SystemLog& log_;
  int descriptor_ = -1;
  bool acquired_ = false;
};

}  // namespace quayline
