#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quayline {

// What a profile's session file ("Sessions/Session_*") tells about its windows: header "SNSS"
// and a 32-bit version, then records of a 16-bit size (counting the command byte), an 8-bit
// command and the payload. Only plain sessions are read; encrypted ones (versions 2 and 4) and
// unknown versions give nothing.
struct SessionState {
  // Window ids of the "set active window" records, in file order.
  std::vector<std::int32_t> activations;
  // Each open window's selected tab's current title (UTF-8).
  std::map<std::int32_t, std::string> selectedTitles;

  bool operator==(const SessionState&) const = default;
};

namespace session_file {

// Larger files are not read: sessions are rewritten well before they grow this big.
inline constexpr std::size_t sizeLimit = std::size_t{16} << 20;

std::optional<SessionState> parse(std::string_view bytes);

// The command ids relied on.
enum Command : std::uint8_t {
  setTabWindow = 0,
  setTabIndexInWindow = 2,
  updateTabNavigation = 6,
  setSelectedNavigationIndex = 7,
  setSelectedTabInIndex = 8,
  tabClosed = 16,
  windowClosed = 17,
  setActiveWindow = 20,
};

}  // namespace session_file
}  // namespace quayline
