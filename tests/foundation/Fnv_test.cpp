#include "foundation/Fnv.h"

#include <gtest/gtest.h>

#include <string>

namespace quayline {
namespace {

struct HashCase {
  std::string bytes;
  std::uint32_t hash;
  std::string hex;
};

TEST(Fnv, MatchesReferenceVectors) {
  const HashCase cases[] = {
      {"", 0x811c9dc5u, "811c9dc5"},
      {"a", 0xe40c292cu, "e40c292c"},
      {"foobar", 0xbf9cf968u, "bf9cf968"},
      // Bytes above 0x7F must not be sign-extended before the exclusive-or.
      {"\xc3\xa9", 0x1e9de8c1u, "1e9de8c1"},
      {"\xff", 0x7a0b824eu, "7a0b824e"},
      // An embedded NUL is hashed like any other byte.
      {std::string("a\0b", 3), 0x10f3abd2u, "10f3abd2"},
      {"Signing you in\xe2\x80\xa6", 0xa20319c6u, "a20319c6"},
      // Hex without leading zeros.
      {"cfx", 0x0076912cu, "76912c"},
      {"cjp", 0x00811e88u, "811e88"},
  };
  for (const auto& row : cases) {
    EXPECT_EQ(fnv1a32(row.bytes), row.hash) << row.hex;
    EXPECT_EQ(fnv1a32Hex(row.bytes), row.hex);
  }
}

}  // namespace
}  // namespace quayline
