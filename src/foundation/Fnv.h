#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quayline {

// 32-bit FNV-1a over the bytes as given (for text, its UTF-8 bytes).
std::uint32_t fnv1a32(std::string_view bytes);

// The same hash in lower-case hexadecimal without leading zeros ("0" for zero), the form window
// titles are identified by.
std::string fnv1a32Hex(std::string_view bytes);

}  // namespace quayline
