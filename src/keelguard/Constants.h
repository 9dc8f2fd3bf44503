#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// Keelguard links nothing of Quayline's, so the facts it shares with it are spelled out here.
namespace keelguard {

inline constexpr std::string_view usageText = "usage: Keelguard <pid> <snapshot.plist>\n";

// The system dock's preference domain and the three settings Quayline records, in the order they
// are always handled.
inline constexpr std::string_view dockDomain = "com.apple.dock";
inline constexpr std::array<const char*, 3> autoHideKeys = {"autohide", "autohide-delay",
                                                            "autohide-time-modifier"};

// Quayline hides the dock with this reveal delay; a snapshot holding it records Quayline's own
// values, never the user's.
inline constexpr std::string_view delayKey = "autohide-delay";
inline constexpr std::int64_t ownDelay = 1000000;

inline constexpr const char* killallPath = "/usr/bin/killall";
inline constexpr const char* dockProcessName = "Dock";

}  // namespace keelguard
