#include "foundation/Text.h"

#include <unicode/ubrk.h>
#include <unicode/ucasemap.h>
#include <unicode/uchar.h>
#include <unicode/utext.h>
#include <unicode/utf8.h>

#include <cstdint>
#include <limits>
#include <memory>

namespace quayline::text {
namespace {

// ICU's break iterators report positions as 32-bit integers.
constexpr std::size_t kMaxAnalysedBytes = std::numeric_limits<std::int32_t>::max();

struct BreakIteratorCloser {
  void operator()(UBreakIterator* iterator) const { ubrk_close(iterator); }
};
struct CaseMapCloser {
  void operator()(UCaseMap* caseMap) const { ucasemap_close(caseMap); }
};

// Opening an iterator loads rule data, so each thread keeps one. Only this file's own loops use
// it, never across a call back into other code, so one per thread is enough.
UBreakIterator* characterIterator() {
  thread_local std::unique_ptr<UBreakIterator, BreakIteratorCloser> iterator = [] {
    UErrorCode status = U_ZERO_ERROR;
    UBreakIterator* opened = ubrk_open(UBRK_CHARACTER, "", nullptr, 0, &status);
    if (U_FAILURE(status)) {
      ubrk_close(opened);
      opened = nullptr;
    }
    return std::unique_ptr<UBreakIterator, BreakIteratorCloser>(opened);
  }();
  return iterator.get();
}

// Title-casing keeps its word iterator inside the case map, so this one is per thread too.
UCaseMap* rootCaseMap() {
  thread_local std::unique_ptr<UCaseMap, CaseMapCloser> caseMap = [] {
    UErrorCode status = U_ZERO_ERROR;
    UCaseMap* opened = ucasemap_open("", 0, &status);
    if (U_FAILURE(status)) {
      ucasemap_close(opened);
      opened = nullptr;
    }
    return std::unique_ptr<UCaseMap, CaseMapCloser>(opened);
  }();
  return caseMap.get();
}

const std::uint8_t* bytes(std::string_view text) {
  return reinterpret_cast<const std::uint8_t*>(text.data());
}

// Calls visit(begin, end) with the byte range of each character until it returns false. Without
// ICU's rule data, code points stand in for characters.
template <typename Visit>
void forEachCharacter(std::string_view text, Visit&& visit) {
  if (text.empty()) {
    return;
  }
  const std::string_view head = text.substr(0, kMaxAnalysedBytes);
  std::size_t begin = 0;
  bool stopped = false;

  UBreakIterator* iterator = characterIterator();
  UText utext = UTEXT_INITIALIZER;
  UErrorCode status = U_ZERO_ERROR;
  if (iterator != nullptr) {
    utext_openUTF8(&utext, head.data(), static_cast<std::int64_t>(head.size()), &status);
    ubrk_setUText(iterator, &utext, &status);
  }
  if (iterator != nullptr && U_SUCCESS(status)) {
    ubrk_first(iterator);
    for (std::int32_t end = ubrk_next(iterator); end != UBRK_DONE && !stopped;
         end = ubrk_next(iterator)) {
      stopped = !visit(begin, static_cast<std::size_t>(end));
      begin = static_cast<std::size_t>(end);
    }
  } else {
    const std::uint8_t* data = bytes(head);
    std::size_t index = 0;
    while (index < head.size() && !stopped) {
      UChar32 scalar = 0;
      U8_NEXT(data, index, head.size(), scalar);
      stopped = !visit(begin, index);
      begin = index;
    }
  }
  utext_close(&utext);

  if (!stopped && begin < text.size()) {
    visit(begin, text.size());
  }
}

// The first scalar of the text, or a negative value for ill-formed bytes or empty text.
UChar32 firstScalar(std::string_view text) {
  if (text.empty()) {
    return U_SENTINEL;
  }
  std::size_t index = 0;
  UChar32 scalar = 0;
  U8_NEXT(bytes(text), index, text.size(), scalar);
  return scalar;
}

using Utf8CaseMapping = std::int32_t (*)(const UCaseMap*, char*, std::int32_t, const char*,
                                         std::int32_t, UErrorCode*);

// Runs an ICU UTF-8 case mapping, growing the output once when the first guess is too small.
// Should ICU fail (or the result not fit in 2 GiB), the text is returned unchanged, not lost.
template <typename Mapping>
std::string mapCase(std::string_view text, Mapping&& mapping) {
  if (text.empty() || text.size() > kMaxAnalysedBytes) {
    return std::string(text);
  }
  const auto sourceLength = static_cast<std::int32_t>(text.size());
  std::string result(text.size() + text.size() / 2 + 8, '\0');
  UErrorCode status = U_ZERO_ERROR;
  std::int32_t length = mapping(result.data(), static_cast<std::int32_t>(result.size()),
                                text.data(), sourceLength, &status);
  if (status == U_BUFFER_OVERFLOW_ERROR && length > 0) {
    result.assign(static_cast<std::size_t>(length), '\0');
    status = U_ZERO_ERROR;
    length = mapping(result.data(), length, text.data(), sourceLength, &status);
  }
  if (U_FAILURE(status) || length < 0) {
    return std::string(text);
  }
  result.resize(static_cast<std::size_t>(length));
  return result;
}

std::string mapCaseWith(std::string_view text, Utf8CaseMapping mapping) {
  const UCaseMap* caseMap = rootCaseMap();
  if (caseMap == nullptr) {
    return std::string(text);
  }
  return mapCase(text, [&](char* destination, std::int32_t capacity, const char* source,
                           std::int32_t length, UErrorCode* status) {
    return mapping(caseMap, destination, capacity, source, length, status);
  });
}

}  // namespace

std::size_t characterCount(std::string_view text) {
  std::size_t count = 0;
  forEachCharacter(text, [&](std::size_t, std::size_t) {
    ++count;
    return true;
  });
  return count;
}

std::string characterPrefix(std::string_view text, std::size_t count) {
  std::size_t prefixEnd = 0;
  std::size_t taken = 0;
  if (count > 0) {
    forEachCharacter(text, [&](std::size_t, std::size_t end) {
      prefixEnd = end;
      return ++taken < count;
    });
  }
  return std::string(text.substr(0, prefixEnd));
}

std::vector<std::string> characters(std::string_view text) {
  std::vector<std::string> result;
  forEachCharacter(text, [&](std::size_t begin, std::size_t end) {
    result.emplace_back(text.substr(begin, end - begin));
    return true;
  });
  return result;
}

bool isWhitespace(char32_t scalar) {
  if ((scalar >= 0x09 && scalar <= 0x0D) || scalar == 0x85) {
    return true;
  }
  if (scalar > 0x10FFFF) {
    return false;
  }
  switch (u_charType(static_cast<UChar32>(scalar))) {
    case U_SPACE_SEPARATOR:
    case U_LINE_SEPARATOR:
    case U_PARAGRAPH_SEPARATOR:
      return true;
    default:
      return false;
  }
}

bool isWhitespaceCharacter(std::string_view character) {
  const UChar32 scalar = firstScalar(character);
  return scalar >= 0 && isWhitespace(static_cast<char32_t>(scalar));
}

std::string trimmed(std::string_view text) {
  const std::uint8_t* data = bytes(text);
  std::size_t begin = text.size();
  std::size_t end = 0;
  std::size_t index = 0;
  while (index < text.size()) {
    const std::size_t scalarBegin = index;
    UChar32 scalar = 0;
    U8_NEXT(data, index, text.size(), scalar);
    if (scalar < 0 || !isWhitespace(static_cast<char32_t>(scalar))) {
      if (begin == text.size()) {
        begin = scalarBegin;
      }
      end = index;
    }
  }
  if (begin >= end) {
    return {};
  }
  return std::string(text.substr(begin, end - begin));
}

std::string firstNonWhitespaceCharacter(std::string_view text) {
  std::string_view found;
  forEachCharacter(text, [&](std::size_t begin, std::size_t end) {
    const std::string_view character = text.substr(begin, end - begin);
    if (isWhitespaceCharacter(character)) {
      return true;
    }
    found = character;
    return false;
  });
  return std::string(found);
}

std::string uppercased(std::string_view text) {
  return mapCaseWith(text, ucasemap_utf8ToUpper);
}

std::string lowercased(std::string_view text) {
  return mapCaseWith(text, ucasemap_utf8ToLower);
}

std::string capitalizedWords(std::string_view text) {
  UCaseMap* caseMap = rootCaseMap();
  if (caseMap == nullptr) {
    return std::string(text);
  }
  return mapCase(text, [&](char* destination, std::int32_t capacity, const char* source,
                           std::int32_t length, UErrorCode* status) {
    return ucasemap_utf8ToTitle(caseMap, destination, capacity, source, length, status);
  });
}

}  // namespace quayline::text
