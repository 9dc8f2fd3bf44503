#include "foundation/NaturalOrder.h"

#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include <cstdint>
#include <string>

namespace quayline {

namespace {

std::u16string utf16(std::string_view utf8) {
  if (utf8.size() > static_cast<std::size_t>(INT32_MAX / 2)) {
    utf8 = utf8.substr(0, INT32_MAX / 2);
  }
  std::u16string result(utf8.size(), u'\0');
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strFromUTF8WithSub(reinterpret_cast<UChar*>(result.data()), static_cast<int32_t>(result.size()),
                       &length, utf8.data(), static_cast<int32_t>(utf8.size()), 0xFFFD, nullptr,
                       &status);
  result.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
  return result;
}

}  // namespace

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

std::string NaturalOrder::sortKey(std::string_view utf8) const {
  if (collator_ == nullptr) {
    return std::string(utf8);
  }
  const std::u16string text = utf16(utf8);
  const auto* source = reinterpret_cast<const UChar*>(text.data());
  const auto length = static_cast<int32_t>(text.size());
  std::string key(text.size() * 2 + 16, '\0');
  int32_t needed =
      ucol_getSortKey(collator_, source, length, reinterpret_cast<uint8_t*>(key.data()),
                      static_cast<int32_t>(key.size()));
  if (needed > static_cast<int32_t>(key.size())) {
    key.resize(static_cast<std::size_t>(needed));
    needed =
        ucol_getSortKey(collator_, source, length, reinterpret_cast<uint8_t*>(key.data()), needed);
  }
  // The key ends with a zero byte that plain comparison does not need.
  key.resize(needed > 0 ? static_cast<std::size_t>(needed - 1) : 0);
  return key;
}

bool NaturalOrder::less(std::string_view a, std::string_view b) const {
  return sortKey(a) < sortKey(b);
}

}  // namespace quayline
