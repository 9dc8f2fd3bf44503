#pragma once

#include <optional>
#include <string>

namespace quayline {

// Where the running copy of Quayline lives, as the file system sees it.
struct RunningCopy {
  // The folder holding bin/, libexec/quayline/ and share/quayline/.
  std::string prefix;
  // The build tree's stage folder rather than an installation.
  bool buildTree = false;
  // On a read-only file system (a mounted image, a CD) or on removable media.
  bool readOnlyMount = false;
  bool removableMedia = false;
  // Started from an AppImage, which runs from a temporary mount of itself.
  bool appImage = false;
  bool operator==(const RunningCopy&) const = default;
};

// The running copy and the installation for this user, which the copy can move itself into.
class InstallPlace {
 public:
  virtual ~InstallPlace() = default;
  virtual RunningCopy runningCopy() = 0;
  // The prefix of installations for this user alone (~/.local).
  virtual std::string userPrefix() = 0;
  // Whether a process other than this one runs the program installed under the prefix.
  virtual bool isRunningFrom(const std::string& prefix) = 0;
  // Installs the running copy's files under the prefix without ever leaving it without a
  // working copy: each file is copied beside its destination, then renamed into place, and
  // only then are the replaced files removed. Nothing on success, else a message for the user.
  virtual std::optional<std::string> installInto(const std::string& prefix) = 0;
};

}  // namespace quayline
