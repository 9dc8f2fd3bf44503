#pragma once

#include <optional>
#include <vector>

#include "foundation/Json.h"

namespace quayline {

// A stored list whose bad entries are skipped instead of failing the whole list.
template <typename T>
struct LossyArray {
  std::vector<T> elements;
  bool operator==(const LossyArray&) const = default;
};

// Decodes every element with `decode` (returning a Decoded<T>), stepping over those that fail.
// Only a value that is not an array fails as a whole. A JSON element can always be stepped over,
// so decoding never stops early.
template <typename T, typename Decode>
std::optional<LossyArray<T>> decodeLossyArray(const Json& value, Decode decode) {
  if (!value.is_array()) {
    return std::nullopt;
  }
  LossyArray<T> result;
  result.elements.reserve(value.size());
  for (const Json& element : value) {
    auto decoded = decode(element);
    if (decoded.value) {
      result.elements.push_back(std::move(*decoded.value));
    }
  }
  return result;
}

}  // namespace quayline
