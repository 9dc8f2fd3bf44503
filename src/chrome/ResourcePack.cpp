#include "chrome/ResourcePack.h"

#include <vector>

namespace quayline {

namespace {

std::uint32_t littleEndian(std::string_view bytes, std::size_t offset, int width) {
  std::uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[offset + static_cast<std::size_t>(i)]);
  }
  return value;
}

std::uint32_t bigEndian32(std::string_view bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
  }
  return value;
}

constexpr std::size_t kEntrySize = 6;
constexpr int kAvatarSide = 96;

}  // namespace

std::optional<ResourcePack> readResourcePack(std::string_view bytes) {
  if (bytes.size() < 12) {
    return std::nullopt;
  }
  std::uint64_t count = 0;
  std::size_t headerSize = 0;
  switch (littleEndian(bytes, 0, 4)) {
    case 4:
      count = littleEndian(bytes, 4, 4);
      headerSize = 9;
      break;
    case 5:
      count = littleEndian(bytes, 8, 2);
      headerSize = 12;
      break;
    default:
      return std::nullopt;
  }
  // 64-bit arithmetic: a version 4 count near 2^32 must not wrap into a small table.
  if (count < 1 || headerSize + kEntrySize * (count + 1) > bytes.size()) {
    return std::nullopt;
  }
  ResourcePack pack;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t entry = headerSize + kEntrySize * i;
    const auto id = static_cast<ResourceId>(littleEndian(bytes, entry, 2));
    const std::uint32_t start = littleEndian(bytes, entry + 2, 4);
    const std::uint32_t end = littleEndian(bytes, entry + kEntrySize + 2, 4);
    if (end < start || end > bytes.size()) {
      return std::nullopt;
    }
    pack[id] = bytes.substr(start, end - start);
  }
  return pack;
}

std::optional<PngSize> pngPixelSize(std::string_view bytes) {
  static constexpr std::string_view signature("\x89PNG\r\n\x1a\n", 8);
  if (bytes.size() < 24 || !bytes.starts_with(signature)) {
    return std::nullopt;
  }
  return PngSize{bigEndian32(bytes, 16), bigEndian32(bytes, 20)};
}

std::optional<AvatarBlock> locateAvatarBlock(const ResourcePack& pack) {
  // The map iterates ids in ascending order.
  std::vector<ResourceId> ids;
  for (const auto& [id, data] : pack) {
    if (pngPixelSize(data) == PngSize{kAvatarSide, kAvatarSide}) {
      ids.push_back(id);
    }
  }
  if (ids.size() < 2) {
    return std::nullopt;
  }
  AvatarBlock best{ids[0], 1};
  AvatarBlock current = best;
  for (std::size_t i = 1; i < ids.size(); ++i) {
    if (ids[i] == ids[i - 1] + 1) {
      ++current.count;
    } else {
      current = {ids[i], 1};
    }
    if (current.count > best.count) {
      best = current;
    }
  }
  if (best.count < kMinimumAvatarRun) {
    return std::nullopt;
  }
  return best;
}

}  // namespace quayline
