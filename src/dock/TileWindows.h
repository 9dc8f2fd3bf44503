#pragma once

#include "dock/DisplayScope.h"

namespace quayline {

class ChromeProfiles;
class WindowRegistry;

// The windows a tile stands for, from the window registry and the browser's profiles. Both
// services must outlive the returned function.
DisplayScope::TileWindows tileWindows(const WindowRegistry& registry, ChromeProfiles& profiles);

}  // namespace quayline
