#include "foundation/Text.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <thread>
#include <vector>

namespace quayline::text {
namespace {

const std::string kFamily =
    "👨‍👩‍👧‍👦";                   // four people joined by zero-width joiners
const std::string kGermany = "🇩🇪";                 // two regional indicators
const std::string kThumbTone = "👍🏽";         // emoji with a skin-tone modifier
const std::string kEAcute = "e\xcc\x81";           // "e" + U+0301 COMBINING ACUTE ACCENT
const std::string kHangul = "\u1100\u1161\u11a8";  // conjoining jamo L V T: one syllable

struct CountCase {
  std::string text;
  std::size_t characters;
};

// Texts whose character count is known; also the inputs of the invariant tests below.
const std::vector<CountCase>& countCases() {
  static const std::vector<CountCase> cases = {
      {"", 0},
      {"abc", 3},
      {std::string("a\0b", 3), 3},
      {"héllo", 5},
      {"日本語", 3},
      {kEAcute, 1},
      {kEAcute + kEAcute + "x", 3},
      {kHangul, 1},
      {kFamily, 1},
      {kThumbTone, 1},
      {kGermany + "🇫🇷", 2},
      {kGermany + "\U0001F1EB", 2},  // a lone regional indicator after a flag
      {"\r\n", 1},
      {"a\r\nb", 3},
      // Ill-formed bytes: each maximal ill-formed sequence is one replacement character.
      {"a\xff"
       "b",
       3},
      {"\xe2\x82", 1},      // truncated three-byte sequence
      {"\xc0\xaf", 2},      // overlong encoding: neither byte can start a character
      {"\xed\xa0\x80", 3},  // an encoded surrogate
      {"\xff\xcc\x81", 1},  // a combining mark still attaches to the replacement
  };
  return cases;
}

std::string join(const std::vector<std::string>& parts) {
  return std::accumulate(parts.begin(), parts.end(), std::string());
}

TEST(TextCharacters, CountsGraphemeClusters) {
  for (const auto& row : countCases()) {
    EXPECT_EQ(characterCount(row.text), row.characters) << testing::PrintToString(row.text);
  }
}

TEST(TextCharacters, SplitsIntoCharactersThatRebuildTheInputByteForByte) {
  for (const auto& row : countCases()) {
    const auto parts = characters(row.text);
    EXPECT_EQ(parts.size(), row.characters) << testing::PrintToString(row.text);
    EXPECT_EQ(join(parts), row.text);
    for (const auto& part : parts) {
      EXPECT_EQ(characterCount(part), 1u) << testing::PrintToString(part);
    }
  }
  EXPECT_EQ(characters("a" + kGermany + kEAcute + kFamily),
            (std::vector<std::string>{"a", kGermany, kEAcute, kFamily}));
}

TEST(TextCharacters, PrefixesNeverSplitACharacter) {
  for (const auto& row : countCases()) {
    for (std::size_t count = 0; count <= row.characters + 1; ++count) {
      const std::string prefix = characterPrefix(row.text, count);
      EXPECT_EQ(characterCount(prefix), std::min(count, row.characters))
          << testing::PrintToString(row.text) << " count " << count;
      EXPECT_EQ(row.text.compare(0, prefix.size(), prefix), 0);
    }
  }
  EXPECT_EQ(characterPrefix("héllo", 2), "hé");
  EXPECT_EQ(characterPrefix(kEAcute + "x", 1), kEAcute);
  EXPECT_EQ(characterPrefix(kFamily + " x", 1), kFamily);
  EXPECT_EQ(characterPrefix(kGermany + "🇫🇷", 1), kGermany);
  EXPECT_EQ(characterPrefix("\xff"
                            "abc",
                            2),
            "\xff"
            "a");
  // A view into a longer buffer ends at the view, not at the buffer's terminator.
  EXPECT_EQ(characterPrefix(std::string_view("abcdef").substr(0, 3), 10), "abc");
}

TEST(TextCharacters, EachThreadGetsItsOwnIterator) {
  const std::string text = kFamily + kGermany + kEAcute + "plain";
  std::vector<std::size_t> counts(8);
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < counts.size(); ++i) {
    threads.emplace_back([&, i] {
      for (int round = 0; round < 200; ++round) {
        counts[i] += characterCount(text);
      }
    });
  }
  for (auto& thread : threads) {
    thread.join();
  }
  for (const std::size_t count : counts) {
    EXPECT_EQ(count, 200u * 8u);
  }
}

TEST(TextWhitespace, FollowsWhitespacesAndNewlines) {
  for (const char32_t scalar : {0x09u, 0x0Au, 0x0Bu, 0x0Cu, 0x0Du, 0x20u, 0x85u, 0xA0u, 0x1680u,
                                0x2000u, 0x200Au, 0x2028u, 0x2029u, 0x202Fu, 0x205Fu, 0x3000u}) {
    EXPECT_TRUE(isWhitespace(scalar)) << std::hex << static_cast<unsigned>(scalar);
  }
  // Zero-width space and the byte-order mark are format characters, not separators.
  for (const char32_t scalar : {0x08u, 0x1Fu, 0x41u, 0x200Bu, 0xFEFFu, 0xD800u, 0x110000u}) {
    EXPECT_FALSE(isWhitespace(scalar)) << std::hex << static_cast<unsigned>(scalar);
  }
  EXPECT_TRUE(isWhitespaceCharacter("\r\n"));
  EXPECT_TRUE(isWhitespaceCharacter(" \xcc\x81"));  // a space carrying a combining mark
  EXPECT_FALSE(isWhitespaceCharacter(""));
  EXPECT_FALSE(isWhitespaceCharacter("\xff"));
}

// Each text function over a table of (input, expected output).
TEST(TextTransforms, FollowTheirTables) {
  const struct {
    const char* name;
    std::string (*transform)(std::string_view);
    std::vector<std::pair<std::string, std::string>> cases;
  } tables[] = {
      {"trimmed",
       trimmed,
       {
           {"", ""},
           {"   ", ""},
           {" \t\r\n", ""},
           {"hello", "hello"},
           {"  hello world \n", "hello world"},
           {"\u00a0\u3000name\u2028\u0085", "name"},
           {"\u2009x\u000b", "x"},
           {"\u200bx\ufeff", "\u200bx\ufeff"},
           {" \xff ", "\xff"},
           {"a\xe2\x80", "a\xe2\x80"},  // the start of U+2028, cut short, is not whitespace
           {" " + kFamily + " ", kFamily},
       }},
      {"firstNonWhitespaceCharacter",
       firstNonWhitespaceCharacter,
       {
           {"", ""},
           {" \t\n\u3000", ""},
           {"alice", "a"},
           {"  bob", "b"},
           {"\u00a0" + kEAcute + "mile", kEAcute},
           {"  " + kFamily + " family", kFamily},
           {kGermany + "x", kGermany},
           {" \xcc\x81x", "x"},  // the accent belongs to the space, so both are skipped
           {"  \xff"
            "z",
            "\xff"},
           {"日本", "日"},
       }},
      {"uppercased",
       uppercased,
       {
           {"", ""},
           {"a", "A"},
           {"é", "É"},
           {"ß", "SS"},
           {"ǆ", "Ǆ"},
           {"ﬁ", "FI"},
           {"i", "I"},  // the root locale, not Turkish
           {"1?", "1?"},
           {kFamily, kFamily},
           {"a\xff"
            "b",
            "A\xff"
            "B"},
       }},
      {"lowercased",
       lowercased,
       {
           {"", ""},
           {"ÀB", "àb"},
           {"/Users/A/My_Profile", "/users/a/my_profile"},
           {"ΟΔΟΣ", "οδος"},  // final sigma
           {"\u0130", "i\u0307"},
           {"X\xff", "x\xff"},
       }},
      {"capitalizedWords",
       capitalizedWords,
       {
           {"", ""},
           {"my test profile", "My Test Profile"},
           {"hELLO wORLD", "Hello World"},
           {"  spaced   out ", "  Spaced   Out "},
           {"élan vital", "Élan Vital"},
           {"ǆungla", "ǅungla"},  // title case, not upper case
           {"straße", "Straße"},
           {"hello-world", "Hello-World"},
           {"don't stop", "Don't Stop"},
           {"ab\xff"
            "cd",
            "Ab\xff"
            "Cd"},
       }},
  };
  for (const auto& table : tables) {
    for (const auto& [text, expected] : table.cases) {
      EXPECT_EQ(table.transform(text), expected)
          << table.name << " " << testing::PrintToString(text);
    }
  }
}

TEST(TextCase, GrowsTheOutputWhenAMappingTriplesTheText) {
  std::string text;
  std::string expected;
  for (int i = 0; i < 100; ++i) {
    text += "ΐ";                       // two bytes
    expected += "\u0399\u0308\u0301";  // six bytes
  }
  EXPECT_EQ(uppercased(text), expected);
}

}  // namespace
}  // namespace quayline::text
