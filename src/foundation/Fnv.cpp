#include "foundation/Fnv.h"

namespace quayline {

std::uint32_t fnv1a32(std::string_view bytes) {
  constexpr std::uint32_t kOffsetBasis = 2166136261u;
  constexpr std::uint32_t kPrime = 16777619u;
  std::uint32_t hash = kOffsetBasis;
  for (const char byte : bytes) {
    hash ^= static_cast<unsigned char>(byte);
    hash *= kPrime;
  }
  return hash;
}

std::string fnv1a32Hex(std::string_view bytes) {
  constexpr char kDigits[] = "0123456789abcdef";
  std::uint32_t hash = fnv1a32(bytes);
  std::string reversed;
  do {
    reversed.push_back(kDigits[hash & 0xF]);
    hash >>= 4;
  } while (hash != 0);
  return std::string(reversed.rbegin(), reversed.rend());
}

}  // namespace quayline
