#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace quayline {

// Writes resource packs as the browser does: a header, `resources` + 1 entries of id and
// offset (the last marking the end), the data.
inline std::string buildResourcePack(
    const std::vector<std::pair<std::uint16_t, std::string>>& resources, int version = 5) {
  auto put = [](std::string& out, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i) {
      out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
  };
  std::string pack;
  const auto count = static_cast<std::uint32_t>(resources.size());
  std::size_t header = 0;
  put(pack, static_cast<std::uint32_t>(version), 4);
  if (version == 4) {
    put(pack, count, 4);
    put(pack, 1, 1);
    header = 9;
  } else {
    put(pack, 1, 4);
    put(pack, count, 2);
    put(pack, 0, 2);
    header = 12;
  }
  auto offset = static_cast<std::uint32_t>(header + 6 * (resources.size() + 1));
  std::string data;
  for (const auto& [id, bytes] : resources) {
    put(pack, id, 2);
    put(pack, offset, 4);
    offset += static_cast<std::uint32_t>(bytes.size());
    data += bytes;
  }
  put(pack, 0, 2);
  put(pack, offset, 4);
  return pack + data;
}

}  // namespace quayline
