#pragma once

#include <plist/plist.h>

#include <string>

namespace keelguard {

// Where Quayline's preference store keeps its domain files: $QUAYLINE_PREFERENCES_DIR, else
// $XDG_CONFIG_HOME/quayline/preferences (when absolute), else ~/.config/quayline/preferences.
std::string preferencesDirectory();

// Writes the three auto-hide settings into the dock's domain file: each key takes the entry of
// `values`, or is removed when `values` is null or lacks it. Every other key of the domain is
// kept. False when the domain file could not be written.
bool writeAutoHideSettings(plist_t values);

}  // namespace keelguard
