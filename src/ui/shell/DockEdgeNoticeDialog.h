#pragma once

#include "dock/DockEdgeNotice.h"

namespace quayline {

// The dock-edge notice as a modal message box with its check box, brought to the front.
DockEdgeNotice::Answer showDockEdgeNotice(const DockEdgeNotice::Text& text);

}  // namespace quayline
