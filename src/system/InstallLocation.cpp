#include "system/InstallLocation.h"

namespace quayline {

namespace {

bool startsWithFolder(std::string_view path, std::string_view folder) {
  return path.size() > folder.size() && path.starts_with(folder) && path[folder.size()] == '/';
}

}  // namespace

bool InstallLocation::isRemovablePath(std::string_view path) {
  return startsWithFolder(path, "/media") || startsWithFolder(path, "/run/media");
}

InstallLocation::Placement InstallLocation::classify(const RunningCopy& copy) {
  // A build tree is checked first: it may itself sit on a stick, yet what matters is that it
  // is nobody's installation.
  if (copy.buildTree) {
    return Placement::buildTree;
  }
  if (copy.appImage || (copy.readOnlyMount && !copy.removableMedia)) {
    return Placement::readOnlyImage;
  }
  if (copy.removableMedia || isRemovablePath(copy.prefix)) {
    return Placement::removableMedia;
  }
  return Placement::installed;
}

std::string InstallLocation::whyNotInstalled() {
  const RunningCopy copy = place_.runningCopy();
  switch (classify(copy)) {
    case Placement::installed:
      return {};
    case Placement::buildTree:
      return "it runs from a build tree (" + copy.prefix + ")";
    case Placement::removableMedia:
      return "it runs from removable media (" + copy.prefix + ")";
    case Placement::readOnlyImage:
      return "it runs from a read-only image (" + copy.prefix + ")";
  }
  return {};
}

InstallLocation::MoveResult InstallLocation::moveToApplications() {
  const std::string destination = place_.userPrefix();
  if (place_.isRunningFrom(destination)) {
    return Failed{std::string(alreadyOpenMessage)};
  }
  if (auto error = place_.installInto(destination)) {
    return Failed{*error};
  }
  return Moved{destination};
}

std::string_view toString(InstallLocation::Placement placement) {
  switch (placement) {
    case InstallLocation::Placement::installed:
      return "installed";
    case InstallLocation::Placement::buildTree:
      return "buildTree";
    case InstallLocation::Placement::removableMedia:
      return "removableMedia";
    case InstallLocation::Placement::readOnlyImage:
      return "readOnlyImage";
  }
  return "installed";
}

}  // namespace quayline
