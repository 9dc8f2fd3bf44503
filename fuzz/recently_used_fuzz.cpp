// The recently-used list is written by every application on the desktop: a broken or hostile
// bookmark file must give an index whose entries all point at documents it holds, newest first.
#include <cstdint>
#include <cstdlib>

#include "ScratchFile.h"
#include "foundation/Utf8.h"
#include "platform/linux/RecentlyUsedFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static quayline::fuzz::ScratchFile scratch(".xbel");
  const auto index = quayline::RecentlyUsedFile::parse(scratch.write(data, size));
  for (const auto& document : index.documents) {
    if (document.path.empty() || !quayline::isValidUtf8(document.title)) {
      std::abort();
    }
  }
  for (const auto& [key, uses] : index.uses) {
    for (std::size_t i = 0; i < uses.size(); ++i) {
      if (uses[i].document >= index.documents.size() ||
          (i > 0 && uses[i - 1].stamp < uses[i].stamp)) {
        std::abort();
      }
    }
    for (const auto document : index.documentsFor({key})) {
      if (document >= index.documents.size()) {
        std::abort();
      }
    }
  }
  return 0;
}
