#include "chrome/ProcessArgumentsBuffer.h"

#include <cstdint>

#include "foundation/Utf8.h"

namespace quayline {

std::vector<std::string> parseProcessArgumentsBuffer(std::string_view buffer) {
  const std::size_t n = buffer.size();
  if (n < 5) {
    return {};
  }
  std::uint32_t raw = 0;
  for (int byte = 3; byte >= 0; --byte) {
    raw = (raw << 8) | static_cast<std::uint8_t>(buffer[static_cast<std::size_t>(byte)]);
  }
  const auto argc = static_cast<std::int32_t>(raw);
  if (argc <= 0) {
    return {};
  }

  std::size_t offset = buffer.find('\0', 4);
  if (offset == std::string_view::npos) {
    return {};
  }
  offset = buffer.find_first_not_of('\0', offset);
  if (offset == std::string_view::npos) {
    return {};
  }

  std::vector<std::string> arguments;
  std::size_t start = offset;
  for (; offset < n && arguments.size() < static_cast<std::size_t>(argc); ++offset) {
    if (buffer[offset] == '\0') {
      arguments.push_back(validUtf8(buffer.substr(start, offset - start)));
      start = offset + 1;
    }
  }
  return arguments;
}

}  // namespace quayline
