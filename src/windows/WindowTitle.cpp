#include "windows/WindowTitle.h"

#include <vector>

#include "foundation/Text.h"

namespace quayline {

namespace {
// A space at most this many characters before the end of the kept part is where the cut goes.
constexpr std::size_t kLateSpaceDistance = 11;
}  // namespace

std::string shortenedTitle(std::string_view title) {
  if (text::characterCount(title) <= maximumTitleCharacters) {
    return std::string(title);
  }
  std::vector<std::string> kept = text::characters(title);
  kept.resize(maximumTitleCharacters);
  for (std::size_t i = kept.size(); i-- > 0;) {
    if (kept[i] == " ") {
      if (kept.size() - i <= kLateSpaceDistance + 1) {
        kept.resize(i);
      }
      break;
    }
  }
  std::string result;
  for (const std::string& character : kept) {
    result += character;
  }
  return result + "\u2026";
}

}  // namespace quayline
