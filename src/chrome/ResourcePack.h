#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string_view>

namespace quayline {

using ResourceId = std::uint16_t;

// The resources of a browser resource pack (versions 4 and 5), each a slice of the bytes read.
// Resources reachable only through the alias table are not listed.
using ResourcePack = std::map<ResourceId, std::string_view>;

// Nothing for an unknown version, an empty or truncated entry table, or an entry whose data
// would end before it starts or past the end of the file: such a pack is rejected whole.
std::optional<ResourcePack> readResourcePack(std::string_view bytes);

struct PngSize {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  bool operator==(const PngSize&) const = default;
};

// A PNG's width and height from its header; nothing for other data.
std::optional<PngSize> pngPixelSize(std::string_view bytes);

// The avatar pictures of a pack: the longest run of consecutive ids holding 96 × 96 PNGs.
struct AvatarBlock {
  ResourceId firstResourceID = 0;
  int count = 0;
  bool operator==(const AvatarBlock&) const = default;
};

inline constexpr int kMinimumAvatarRun = 10;

// The earlier run wins a tie; a longest run shorter than `kMinimumAvatarRun` is no block.
std::optional<AvatarBlock> locateAvatarBlock(const ResourcePack& pack);

}  // namespace quayline
