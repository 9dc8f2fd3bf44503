#pragma once

namespace quayline {

class DistributedNotifications;
class PreferenceDomains;

// The settings' size slider. Its value is not one of Quayline's settings but the system dock's
// "tilesize", which the dock layout follows.
namespace DockSizeSetting {

inline constexpr double minimum = 16;
inline constexpr double maximum = 128;

// The stored tile size (64 when absent or not a number), read fresh.
double stored(PreferenceDomains& domains);

// When the user lets go of the slider: stores the value rounded to a whole number, only when
// that differs from what is stored. Whether it wrote.
bool commit(double value, PreferenceDomains& domains, DistributedNotifications& notifications);

}  // namespace DockSizeSetting
}  // namespace quayline
