#include "previews/PreviewCaption.h"

namespace quayline {

namespace {

constexpr std::string_view kSeparator = " \u2014 ";

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) {
    return {};
  }
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

}  // namespace

PreviewCaption PreviewCaption::parts(std::string_view title, std::string_view appName) {
  const auto at = title.rfind(kSeparator);
  if (at == std::string_view::npos) {
    return {std::string(title), std::string(appName)};
  }
  const std::string_view before = trimmed(title.substr(0, at));
  const std::string_view after = trimmed(title.substr(at + kSeparator.size()));
  if (after.empty()) {
    return {std::string(title), std::string(appName)};
  }
  if (before.empty()) {
    return {std::string(after), std::string(appName)};
  }
  return {std::string(after), std::string(before)};
}

}  // namespace quayline
