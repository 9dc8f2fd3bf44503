// "Local State" is the browser's file, written while we read it and editable by anyone: reading
// it must never crash, and what it yields must be usable as read.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string_view>

#include "chrome/ChromeProfileLabels.h"
#include "chrome/LocalStateFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto profiles = quayline::local_state::parse(text, "/nonexistent");
  if (!profiles) {
    return 0;
  }
  std::set<std::string> directories;
  for (const auto& profile : *profiles) {
    if (profile.name.empty() || profile.avatarURL ||
        !directories.insert(profile.directory).second) {
      std::abort();
    }
  }
  const auto labels = quayline::chrome_labels::labelMap(*profiles);
  for (const auto& [label, directory] : labels.byLabel) {
    if (label.empty() || labels.collisions.contains(label) || !directories.contains(directory)) {
      std::abort();
    }
  }
  return 0;
}
