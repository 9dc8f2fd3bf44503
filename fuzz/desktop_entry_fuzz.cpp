// Desktop entries in the applications folders belong to whoever installed them: reading one must
// never crash, and what it yields must find itself again by the keys it was read with.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "ScratchFile.h"
#include "platform/linux/DesktopEntryIconNames.h"
#include "platform/linux/DesktopEntryIndex.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static quayline::fuzz::ScratchFile scratch(".desktop");
  const std::string& path = scratch.write(data, size);
  quayline::DesktopEntryIconNames icons;
  if (const auto icon = icons.iconName(path); icon && icon->empty()) {
    std::abort();
  }
  const auto entry = quayline::DesktopEntryIndex::read(path, "org.example.Fuzzed.desktop");
  if (!entry) {
    return 0;
  }
  if (entry->path != path || entry->desktopFileId != "org.example.Fuzzed.desktop") {
    std::abort();
  }
  const std::vector<quayline::DesktopEntry> entries{*entry};
  if (quayline::entryNamed(entries, path) != &entries.front() ||
      quayline::entryNamed(entries, "org.example.Fuzzed") != &entries.front()) {
    std::abort();
  }
  quayline::ClientIdentity client;
  client.className = entry->startupWMClass;
  client.executable = entry->executable;
  const auto* matched = quayline::matchDesktopEntry(entries, client);
  if (!entry->startupWMClass.empty() && matched != &entries.front()) {
    std::abort();
  }
  return 0;
}
