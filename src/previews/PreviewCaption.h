#pragma once

#include <string>
#include <string_view>

namespace quayline {

// A window title split into the card's two lines. Documents are titled "file — folder": the
// folder names the place, so it leads and the file follows.
struct PreviewCaption {
  std::string primary;
  std::string secondary;
  bool operator==(const PreviewCaption&) const = default;

  static PreviewCaption parts(std::string_view title, std::string_view appName);
};

}  // namespace quayline
