#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "foundation/PropertyValue.h"

namespace quayline::defaults {

// Values as written on the command line. Each parses the whole argument or gives nothing.

// true, false, yes, no, 1 or 0, in any letter case.
std::optional<bool> parseBoolean(std::string_view text);
// A signed 64-bit decimal integer, with an optional sign.
std::optional<std::int64_t> parseInteger(std::string_view text);
// A finite decimal floating-point number.
std::optional<double> parseReal(std::string_view text);
// Hexadecimal digits, two per byte.
std::optional<PropertyData> parseHexData(std::string_view text);
// ISO 8601 with seconds and a zone: 2026-12-06T20:23:25Z or 2026-12-06T22:23:25+02:00.
std::optional<PropertyDate> parseIsoDate(std::string_view text);

}  // namespace quayline::defaults
