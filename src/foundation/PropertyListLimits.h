#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace quayline {

// libplist 2.2 parses binary property lists and frees every node recursively, and it copies a
// binary object once for every reference to it. Input nested deeper than this, cyclic, or
// expanding to more nodes than this is refused before it reaches the library, so a hostile
// file cannot exhaust the stack or the memory.
inline constexpr int kMaxPropertyListDepth = 256;
inline constexpr std::size_t kMaxPropertyListNodes = std::size_t{1} << 20;

// True when the bytes may be handed to libplist: an XML text without NUL characters whose
// array and dictionary elements nest no deeper than the limit, or a structurally sound binary
// property list within both limits whose strings hold no NUL. Anything else is refused (it would
// not decode completely anyway, or it would trip the library's assertions).
bool isWithinPropertyListLimits(std::span<const std::uint8_t> bytes);

}  // namespace quayline
