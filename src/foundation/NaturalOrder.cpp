#include "foundation/NaturalOrder.h"

#include <unicode/ucol.h>

#include <algorithm>
#include <cstdint>

namespace quayline {

NaturalOrder::NaturalOrder() {
  UErrorCode status = U_ZERO_ERROR;
  collator_ = ucol_open("", &status);
  if (U_FAILURE(status)) {
    collator_ = nullptr;
    return;
  }
  // Secondary strength: accents count, case does not.
  ucol_setStrength(collator_, UCOL_SECONDARY);
  ucol_setAttribute(collator_, UCOL_NUMERIC_COLLATION, UCOL_ON, &status);
}

NaturalOrder::~NaturalOrder() {
  if (collator_ != nullptr) {
    ucol_close(collator_);
  }
}

int NaturalOrder::compare(std::string_view a, std::string_view b) const {
  if (collator_ == nullptr) {
    return a.compare(b);
  }
  // ICU takes lengths as 32-bit integers; names are far shorter.
  const auto length = [](std::string_view text) {
    return static_cast<int32_t>(std::min<std::size_t>(text.size(), INT32_MAX));
  };
  UErrorCode status = U_ZERO_ERROR;
  const UCollationResult result =
      ucol_strcollUTF8(collator_, a.data(), length(a), b.data(), length(b), &status);
  if (U_FAILURE(status)) {
    return a.compare(b);
  }
  return result == UCOL_LESS ? -1 : result == UCOL_GREATER ? 1 : 0;
}

}  // namespace quayline
