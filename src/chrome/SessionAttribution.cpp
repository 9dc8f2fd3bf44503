#include "chrome/SessionAttribution.h"

namespace quayline::session_attribution {

std::optional<std::string> byActivation(const Sessions& before, const Sessions& after) {
  std::optional<std::string> found;
  for (const auto& [directory, session] : after) {
    const auto earlier = before.find(directory);
    // A replaced file starts over: fewer records than before still means it was rewritten.
    const std::size_t known = earlier == before.end() ? 0 : earlier->second.activations.size();
    const bool gained = session.activations.size() > known ||
                        (earlier != before.end() && session.activations.size() < known &&
                         !session.activations.empty());
    if (!gained) {
      continue;
    }
    if (found) {
      return std::nullopt;
    }
    found = directory;
  }
  return found;
}

std::optional<std::string> byTitle(std::string_view windowTitle, std::string_view product,
                                   const Sessions& sessions) {
  const std::string suffix = " - " + std::string(product);
  std::string_view page = windowTitle;
  if (page.ends_with(suffix)) {
    page.remove_suffix(suffix.size());
  }
  if (page.empty()) {
    return std::nullopt;
  }
  std::optional<std::string> found;
  for (const auto& [directory, session] : sessions) {
    for (const auto& [window, title] : session.selectedTitles) {
      if (title != page) {
        continue;
      }
      if (found && *found != directory) {
        return std::nullopt;
      }
      found = directory;
    }
  }
  return found;
}

}  // namespace quayline::session_attribution
