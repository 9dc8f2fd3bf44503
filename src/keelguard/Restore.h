#pragma once

#include <string>

namespace keelguard {

// Puts the recorded dock settings back, deletes the snapshot and relaunches the dock. Does
// nothing when there is no snapshot.
void restoreDock(const std::string& snapshotPath);

}  // namespace keelguard
