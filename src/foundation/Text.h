#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Text helpers over UTF-8 strings, backed by ICU with the root locale.
//
// A "character" is a user-perceived character: an extended grapheme cluster, so "e" plus a
// combining accent, a flag (two regional indicators) and an emoji joined by zero-width joiners
// each count as one.
//
// Ill-formed UTF-8 never throws and is never lost: each maximal ill-formed byte sequence reads as
// one U+FFFD when counting, breaking or classifying, and its bytes are copied unchanged into every
// result. A function that returns part of its input returns the input's own bytes.
//
// ICU works on the first 2 GiB: beyond that the rest of a text counts as one character, and a
// case mapping whose result would not fit returns the text unchanged. Titles and names are far
// shorter.
namespace quayline::text {

// The number of characters.
std::size_t characterCount(std::string_view text);

// The first `count` characters (the whole text when it has fewer).
std::string characterPrefix(std::string_view text, std::size_t count);

// The text split into its characters, in order.
std::vector<std::string> characters(std::string_view text);

// Whitespace and newlines as Foundation's `whitespacesAndNewlines` defines them: the separators
// (general categories Zs, Zl, Zp), U+0009 to U+000D and U+0085.
bool isWhitespace(char32_t scalar);

// A character is whitespace when its first scalar is, so a space carrying a combining mark still
// is. Ill-formed bytes are not whitespace.
bool isWhitespaceCharacter(std::string_view character);

// The text without leading and trailing whitespace scalars.
std::string trimmed(std::string_view text);

// The first character that is not whitespace, or an empty string when there is none.
std::string firstNonWhitespaceCharacter(std::string_view text);

// Full case mappings (a character may become several: "ß" upper-cases to "SS").
std::string uppercased(std::string_view text);
std::string lowercased(std::string_view text);

// Each word's first letter in title case and the rest in lower case ("my test profile" gives
// "My Test Profile"). Words are found by ICU's word boundaries, so punctuation also separates
// words ("hello-world" gives "Hello-World") while an apostrophe inside a word does not.
std::string capitalizedWords(std::string_view text);

}  // namespace quayline::text
