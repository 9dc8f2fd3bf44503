#include "platform/linux/x11/Conversions.h"

#include "foundation/Utf8.h"

namespace quayline::x11 {

std::string repairedUtf8(std::string_view bytes) {
  return validUtf8(bytes);
}

std::string latin1ToUtf8(std::string_view bytes) {
  std::string result;
  result.reserve(bytes.size());
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      result.push_back(c);
    } else {
      result.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      result.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
  return result;
}

}  // namespace quayline::x11
