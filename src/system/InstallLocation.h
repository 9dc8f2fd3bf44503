#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "platform/InstallPlace.h"

namespace quayline {

// Whether the running copy is installed, and moving it into the user's own installation when it
// runs from a place it cannot stay: a build tree, removable media or a read-only image. Those
// places stand for the translocated or disk-image copies that cannot keep their permissions
// or be started at login.
class InstallLocation {
 public:
  enum class Placement { installed, buildTree, removableMedia, readOnlyImage };

  struct Moved {
    std::string prefix;  // the new installation
    bool operator==(const Moved&) const = default;
  };
  struct Failed {
    std::string message;  // for the user
    bool operator==(const Failed&) const = default;
  };
  using MoveResult = std::variant<Moved, Failed>;

  static constexpr std::string_view alreadyOpenMessage =
      "Quayline is already open from your Applications folder. Quit this copy and use that one.";

  explicit InstallLocation(InstallPlace& place) : place_(place) {}

  static Placement classify(const RunningCopy& copy);
  // Removable media are often mounted writable, yet gone with the stick: only their path or
  // their device says so.
  static bool isRemovablePath(std::string_view path);

  Placement placement() { return classify(place_.runningCopy()); }
  // The Part's translocated or disk-image copy: it offers to move itself first.
  bool needsMove() { return placement() != Placement::installed; }
  // A short reason why the copy is not installed, for log lines; empty when it is.
  std::string whyNotInstalled();

  // Installs the running copy for this user alone. Fails with the Part's message when a copy
  // already runs from there, and never touches that copy.
  MoveResult moveToApplications();

  std::string runningPrefix() { return place_.runningCopy().prefix; }

 private:
  InstallPlace& place_;
};

std::string_view toString(InstallLocation::Placement placement);

}  // namespace quayline
