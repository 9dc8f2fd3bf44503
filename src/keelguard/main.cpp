// Keelguard watches Quayline's process and, should Quayline end without putting the system dock's
// settings back, restores them from the snapshot Quayline left.

#include <unistd.h>

#include "CommandLine.h"
#include "Constants.h"
#include "ProcessWatch.h"
#include "Restore.h"

int main(int argc, char** argv) {
  auto arguments = keelguard::parseCommandLine(argc, argv);
  if (!arguments) {
    (void)!::write(STDERR_FILENO, keelguard::usageText.data(), keelguard::usageText.size());
    return 2;
  }
  if (keelguard::watch(arguments->watchedPid, arguments->snapshotPath) ==
      keelguard::WatchOutcome::processEnded) {
    keelguard::restoreDock(arguments->snapshotPath);
  }
  return 0;
}
