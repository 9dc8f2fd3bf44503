#include "Restore.h"

#include <sys/stat.h>
#include <unistd.h>

#include "DockDomain.h"
#include "DockRelaunch.h"
#include "Snapshot.h"

namespace keelguard {

void restoreDock(const std::string& snapshotPath) {
  struct stat info {};
  if (::stat(snapshotPath.c_str(), &info) != 0) {
    return;
  }
  Plist snapshot = readSnapshot(snapshotPath);
  // Quayline's own values say nothing about the user's: the dock's defaults are the best record.
  plist_t values = holdsOwnValues(snapshot.get()) ? nullptr : snapshot.get();
  // The snapshot is the only record of the user's settings once the domain holds the hide
  // values, so it is deleted only after they are safely back; otherwise the next launch of
  // Quayline finds it and tries again.
  if (writeAutoHideSettings(values)) {
    ::unlink(snapshotPath.c_str());
  }
  relaunchDock();
}

}  // namespace keelguard
