#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <utility>

namespace quayline {

// Enumerations stored by their raw string: specialise EnumerationCases<E> with a `cases` array
// of (value, raw value) pairs in the order pickers list them.
template <typename E>
struct EnumerationCases;

template <typename E>
constexpr std::string_view rawValue(E value) {
  for (const auto& [candidate, raw] : EnumerationCases<E>::cases) {
    if (candidate == value) {
      return raw;
    }
  }
  return {};
}

// Exact, case-sensitive match of a raw value.
template <typename E>
constexpr std::optional<E> fromRawValue(std::string_view raw) {
  for (const auto& [candidate, candidateRaw] : EnumerationCases<E>::cases) {
    if (candidateRaw == raw) {
      return candidate;
    }
  }
  return std::nullopt;
}

template <typename E>
constexpr auto allCases() {
  std::array<E, EnumerationCases<E>::cases.size()> values{};
  for (std::size_t i = 0; i < values.size(); ++i) {
    values[i] = EnumerationCases<E>::cases[i].first;
  }
  return values;
}

}  // namespace quayline
