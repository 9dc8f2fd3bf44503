#pragma once

#include <string>
#include <string_view>

namespace quayline {

bool isValidUtf8(std::string_view text);

// The text with every byte that does not belong to a well-formed UTF-8 sequence replaced by
// U+FFFD, so whatever other programs hand us (window titles, stored strings) can be written out
// and shown safely.
std::string validUtf8(std::string_view text);

}  // namespace quayline
