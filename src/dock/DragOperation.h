#pragma once

#include <ostream>

namespace quayline {

// What a drop onto the dock would do, as the dragging source is told. The values are flags, so
// a source can offer several at once.
enum class DragOperation : unsigned { none = 0, copy = 1, link = 2, generic = 4, move = 16 };

using DragOperationMask = unsigned;

constexpr DragOperationMask operator|(DragOperation a, DragOperation b) {
  return static_cast<unsigned>(a) | static_cast<unsigned>(b);
}

// The operation to report to a source that offers `offered`, for a drop that would do `wanted`;
// none when the source offers nothing that fits. Opening and pinning leave the files where they
// are, so they take a copy or a link; a move is reported only as a move, since a source told
// "copied" would expect its files still in place.
DragOperation negotiatedOperation(DragOperation wanted, DragOperationMask offered);

std::ostream& operator<<(std::ostream& out, DragOperation operation);

}  // namespace quayline
