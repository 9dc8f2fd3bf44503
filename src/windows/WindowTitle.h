#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quayline {

// Long window titles are cut for menus and cards to this many characters, then "…".
inline constexpr std::size_t maximumTitleCharacters = 48;

// The title unchanged when it has at most 48 characters (user-perceived); otherwise its first 48,
// cut again before a late space (one among the last 12 of them), followed by "…".
std::string shortenedTitle(std::string_view title);

}  // namespace quayline
