// Feeds arbitrary bytes to the resource-pack reader. Every resource it returns must lie inside
// the input, and the avatar block it finds must consist of 96 × 96 pictures of that pack.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "chrome/ResourcePack.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto pack = quayline::readResourcePack(bytes);
  if (!pack) {
    return 0;
  }
  for (const auto& [id, resource] : *pack) {
    if (!resource.empty() && (resource.data() < bytes.data() ||
                              resource.data() + resource.size() > bytes.data() + size)) {
      std::abort();
    }
  }
  if (const auto block = quayline::locateAvatarBlock(*pack)) {
    for (int j = 0; j < block->count; ++j) {
      const auto found = pack->find(static_cast<quayline::ResourceId>(block->firstResourceID + j));
      if (block->count < quayline::kMinimumAvatarRun || found == pack->end() ||
          quayline::pngPixelSize(found->second) != quayline::PngSize{96, 96}) {
        std::abort();
      }
    }
  }
  return 0;
}
