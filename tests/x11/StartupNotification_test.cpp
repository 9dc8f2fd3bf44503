#include "platform/linux/x11/StartupNotification.h"

#include <gtest/gtest.h>

#include "platform/linux/x11/Conversions.h"

namespace quayline::x11 {
namespace {

TEST(StartupMessage, ParsesQuotedAndEscapedValues) {
  const auto message = parseStartupMessage(
      R"(new: ID=launch-1_TIME42 NAME="Text Editor" DESCRIPTION="say \"hi\"" BIN=edit\ or)");
  ASSERT_TRUE(message);
  EXPECT_EQ(message->type, "new");
  EXPECT_EQ(message->field("ID"), "launch-1_TIME42");
  EXPECT_EQ(message->field("NAME"), "Text Editor");
  EXPECT_EQ(message->field("DESCRIPTION"), "say \"hi\"");
  EXPECT_EQ(message->field("BIN"), "edit or");
  EXPECT_FALSE(message->field("PID"));

  for (const char* bad :
       {"", "no colon here", "new: NAME=\"unterminated", "new: =value", "NEW: ID=1"}) {
    EXPECT_FALSE(parseStartupMessage(bad)) << bad;
  }
}

TEST(StartupMessage, FormattedMessagesTravelInPiecesAndReadBack) {
  const StartupMessage message{
      "new", {{"ID", "quayline-1-1_TIME0"}, {"NAME", "A \"quoted\" name"}, {"SCREEN", "0"}}};
  const std::string text = formatStartupMessage(message);
  EXPECT_EQ(parseStartupMessage(text), message);

  const auto chunks = startupMessageChunks(text);
  ASSERT_EQ(chunks.size(), (text.size() + 1 + 19) / 20);
  StartupMessageAssembler assembler;
  // Another sender's message interleaved with ours, and a stray continuation, change nothing.
  EXPECT_FALSE(
      assembler.add(7, false, reinterpret_cast<const std::uint8_t*>("stray piece........")));
  std::optional<std::string> complete;
  for (std::size_t i = 0; i < chunks.size(); ++i) {
    complete = assembler.add(1, i == 0, reinterpret_cast<const std::uint8_t*>(chunks[i].data()));
    if (i == 0) {
      EXPECT_FALSE(
          assembler.add(2, true, reinterpret_cast<const std::uint8_t*>("remove: ID=other....")));
    }
    if (i + 1 < chunks.size()) {
      EXPECT_FALSE(complete);
    }
  }
  EXPECT_EQ(complete, text);
}

TEST(X11Conversions, RepairsIllFormedUtf8) {
  struct Row {
    std::string in;
    std::string out;
  };
  const std::string r = "\xEF\xBF\xBD";
  const std::vector<Row> rows{
      {"plain", "plain"},
      {"caf\xC3\xA9", "caf\xC3\xA9"},
      {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
      {"\xFF", r},
      {"a\xC3", "a" + r},                   // truncated
      {"\xC0\xAF", r + r},                  // overlong
      {"\xED\xA0\x80", r + r + r},          // surrogate
      {"\xF4\x90\x80\x80", r + r + r + r},  // beyond U+10FFFF
  };
  for (const Row& row : rows) {
    EXPECT_EQ(repairedUtf8(row.in), row.out);
  }
  EXPECT_EQ(latin1ToUtf8("Caf\xE9"), "Caf\xC3\xA9");
}

TEST(X11Conversions, FramesAndSpaces) {
  const FrameExtents extents{2, 3, 20, 4};
  EXPECT_EQ(frameOf(Point{100, 150}, Size{300, 200}, extents), Rect(98, 130, 305, 224));
  EXPECT_EQ(clientSizeFor(Size{305, 224}, extents), (Size{300, 200}));
  EXPECT_EQ(clientSizeFor(Size{3, 3}, extents), (Size{1, 1}));
  EXPECT_EQ(toBottomLeftSpace(Rect(0, 0, 1280, 800), 800), Rect(0, 0, 1280, 800));
  EXPECT_EQ(toBottomLeftSpace(Rect(10, 700, 100, 100), 800), Rect(10, 0, 100, 100));
  EXPECT_EQ(toBottomLeftSpace(Rect(1280, -200, 1024, 768), 800), Rect(1280, 232, 1024, 768));
  EXPECT_EQ(pressedButtons(1u << 8), 1u);
  EXPECT_EQ(pressedButtons(1u << 10), 2u);
  EXPECT_EQ(pressedButtons((1u << 9) | (1u << 12)), 4u);  // middle; the wheel does not count
}

}  // namespace
}  // namespace quayline::x11
