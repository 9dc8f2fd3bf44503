#pragma once

#include <cstdint>

#include "platform/linux/x11/XConnection.h"

namespace quayline::x11 {

// What window capture needs of the server: Composite 0.2 (named window pixmaps), Damage 1.0 and
// Render 0.10 (padded edges). An untrusted client sees none of them.
struct CaptureExtensions {
  bool usable = false;
  std::uint8_t damageEvent = 0;  // the first event code of Damage
};

// Asks each extension's version (Damage wants that before any other request): one round trip.
CaptureExtensions negotiateCaptureExtensions(XConnection& connection, Deadline deadline);

}  // namespace quayline::x11
