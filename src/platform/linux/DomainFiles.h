#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "foundation/PropertyValue.h"

namespace quayline {

// How preference domains map to the files of a preferences directory: "<domain>.plist", and
// ".GlobalPreferences.plist" for the domain every application sees.

// The file name of a domain, or nothing for a name that could leave the directory or could not
// be a file name at all (empty, ".", "..", a "/" or NUL inside, too long for "<name>.corrupt").
std::optional<std::string> domainFileName(std::string_view domain);

// The domain stored in a file of the directory, or nothing when the file is not a domain file.
std::optional<std::string> domainForFileName(std::string_view fileName);

// The values of a domain file: an XML or binary property list whose top level is a
// dictionary. Anything else (truncated, malformed, another top level) gives nothing.
std::optional<PropertyValue::Dictionary> parseDomainFile(std::span<const std::uint8_t> bytes);

}  // namespace quayline
