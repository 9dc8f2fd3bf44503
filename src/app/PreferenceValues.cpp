#include "app/PreferenceValues.h"

#include "foundation/Json.h"

namespace quayline {

std::string TintColor::toJson() const {
  return encodeJson(Json{{"red", red}, {"green", green}, {"blue", blue}, {"alpha", alpha}});
}

std::optional<TintColor> TintColor::fromJson(std::string_view json) {
  auto parsed = parseJson(json);
  if (!parsed || !parsed->is_object()) {
    return std::nullopt;
  }
  TintColor tint;
  for (auto [key, field] : {std::pair{"red", &tint.red}, std::pair{"green", &tint.green},
                            std::pair{"blue", &tint.blue}, std::pair{"alpha", &tint.alpha}}) {
    auto found = parsed->find(key);
    if (found == parsed->end() || !found->is_number()) {
      return std::nullopt;
    }
    *field = found->get<double>();
  }
  return tint;
}

std::ostream& operator<<(std::ostream& out, const TintColor& tint) {
  return out << "TintColor(" << tint.red << ", " << tint.green << ", " << tint.blue << ", "
             << tint.alpha << ")";
}

}  // namespace quayline
