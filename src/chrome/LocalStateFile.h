#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "chrome/ChromeProfile.h"

namespace quayline {

// The browser's "Local State" file: its profiles, in the order the browser shows them.
namespace local_state {

// Larger files are not read: real ones hold a few hundred kilobytes.
inline constexpr std::size_t sizeLimit = std::size_t{32} << 20;

// The profiles of the file's text, skipping ephemeral ones; nothing when the text is not JSON
// or lacks the profile table. Account pictures are looked for under `supportDirectory`.
std::optional<std::vector<ChromeProfile>> parse(std::string_view text,
                                                const std::filesystem::path& supportDirectory);

// Reads and parses the file; nothing when it is missing, unreadable, too large or unusable.
std::optional<std::vector<ChromeProfile>> read(const std::filesystem::path& file,
                                               const std::filesystem::path& supportDirectory);

}  // namespace local_state
}  // namespace quayline
