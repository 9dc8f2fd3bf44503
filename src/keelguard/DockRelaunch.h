#pragma once

namespace keelguard {

// Ends the running dock so that it starts again and reads its domain afresh, and waits for that
// to finish. A program that cannot be started is ignored.
void relaunchDock();

}  // namespace keelguard
