#pragma once

#include <string>

#include "PropertyListFile.h"

namespace keelguard {

// The recorded dock settings: the file's dictionary, or an empty one when the file cannot be
// read or its root is not a dictionary.
Plist readSnapshot(const std::string& path);

// True when the dictionary records Quayline's own hide values rather than the user's: it is not
// empty and its delay is a number whose integer value is the hide delay.
bool holdsOwnValues(plist_t dictionary);

}  // namespace keelguard
