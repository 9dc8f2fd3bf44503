#pragma once

#include <filesystem>

namespace quayline::HomeAccessChecks {

// Whether Quayline may read the user's home folder: true outside a sandbox (no Flatpak info
// file) and inside one whose [Context] "filesystems" grant "home" or "host" (read-only or not).
// An info file that cannot be read counts as a sandbox without home access.
bool homeReadable(const std::filesystem::path& flatpakInfo);

// Whether the trash folder and its files/ and info/ folders can be written to, or created where
// they are missing (the nearest existing folder above them is writable).
bool trashWritable(const std::filesystem::path& trash);

}  // namespace quayline::HomeAccessChecks
