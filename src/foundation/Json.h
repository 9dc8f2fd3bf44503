#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace quayline {

using Json = nlohmann::json;

// Parses without throwing; malformed text gives nothing.
std::optional<Json> parseJson(std::string_view text);

// Compact form with sorted keys (nlohmann's objects are ordered maps) and no whitespace.
std::string encodeJson(const Json& value);

}  // namespace quayline
