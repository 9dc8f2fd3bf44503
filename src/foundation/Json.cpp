#include "foundation/Json.h"

namespace quayline {

std::optional<Json> parseJson(std::string_view text) {
  Json parsed = Json::parse(text.begin(), text.end(), nullptr, /*allow_exceptions=*/false);
  if (parsed.is_discarded()) {
    return std::nullopt;
  }
  return parsed;
}

std::string encodeJson(const Json& value) {
  // Replace invalid UTF-8 instead of throwing: a stored title must never take the writer down.
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace quayline
