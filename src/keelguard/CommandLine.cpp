#include "CommandLine.h"

#include <cstdint>
#include <limits>

namespace keelguard {

std::optional<pid_t> parsePid(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) {
    return std::nullopt;
  }
  // One past the largest magnitude stops the accumulation long before int64 could overflow.
  constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (char c : text) {
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > limit) {
      return std::nullopt;
    }
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<std::int32_t>::max() ||
      value < std::numeric_limits<std::int32_t>::min()) {
    return std::nullopt;
  }
  return static_cast<pid_t>(value);
}

std::optional<Arguments> parseCommandLine(int argc, const char* const* argv) {
  if (argc < 3) {
    return std::nullopt;
  }
  auto pid = parsePid(argv[1]);
  if (!pid) {
    return std::nullopt;
  }
  return Arguments{*pid, argv[2]};
}

}  // namespace keelguard
