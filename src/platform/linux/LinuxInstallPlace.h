#pragma once

#include <filesystem>
#include <functional>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/InstallPlace.h"

namespace quayline {

// The running copy's prefix and the file system it sits on (/proc/self/mountinfo, the block
// device's "removable" flag in sysfs, $APPDIR of an AppImage), and the user's own installation
// under ~/.local.
class LinuxInstallPlace final : public InstallPlace {
 public:
  // Copies one file or folder; the move's only way to write the new files, so tests can make it
  // fail.
  using Copy = std::function<std::error_code(const std::filesystem::path& from,
                                             const std::filesystem::path& to)>;

  // The files of an installation, relative to its prefix; the program itself comes first and
  // must be there.
  static const std::vector<std::filesystem::path>& installedFiles();
  static constexpr std::string_view desktopEntry = "share/applications/com.orrin.quayline.desktop";

  // The running executable's prefix and the user's ~/.local.
  LinuxInstallPlace();
  LinuxInstallPlace(std::filesystem::path prefix, std::filesystem::path userPrefix,
                    Copy copy = copyRecursively);

  RunningCopy runningCopy() override;
  std::string userPrefix() override { return userPrefix_.string(); }
  bool isRunningFrom(const std::string& prefix) override;
  std::optional<std::string> installInto(const std::string& prefix) override;

  static std::error_code copyRecursively(const std::filesystem::path& from,
                                         const std::filesystem::path& to);

  struct Mount {
    std::string mountPoint;
    std::string fileSystem;
    std::string device;  // major:minor
    bool readOnly = false;
  };
  // The mount of /proc/self/mountinfo that holds the path: the longest mount point above it.
  static std::optional<Mount> mountHolding(std::string_view mountinfo, std::string_view path);

 private:
  std::filesystem::path prefix_;
  std::filesystem::path userPrefix_;
  Copy copy_;
};

}  // namespace quayline
