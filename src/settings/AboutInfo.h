#pragma once

#include <string>

namespace quayline {

class ApplicationBundle;

// What the About pane shows, from the installed program's information dictionary.
struct AboutInfo {
  std::string name;
  std::string version;
  std::string footer;
  bool operator==(const AboutInfo&) const = default;

  // A missing dictionary or key leaves its part out; the name falls back to "Quayline".
  static AboutInfo read(ApplicationBundle& bundle);
};

}  // namespace quayline
