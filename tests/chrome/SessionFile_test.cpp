#include "chrome/SessionFile.h"

#include <gtest/gtest.h>

#include "chrome/SessionAttribution.h"

namespace quayline {
namespace {

using namespace session_file;

// Writes session files the way the browser lays them out.
class SessionWriter {
 public:
  explicit SessionWriter(std::int32_t version = 3) {
    bytes_ = "SNSS";
    int32(bytes_, version);
  }

  SessionWriter& record(std::uint8_t command, const std::string& payload) {
    const auto size = static_cast<std::uint16_t>(payload.size() + 1);
    bytes_ += static_cast<char>(size & 0xff);
    bytes_ += static_cast<char>(size >> 8);
    bytes_ += static_cast<char>(command);
    bytes_ += payload;
    return *this;
  }
  SessionWriter& pair(std::uint8_t command, std::int32_t a, std::int32_t b) {
    std::string payload;
    int32(payload, a);
    int32(payload, b);
    return record(command, payload);
  }
  SessionWriter& active(std::int32_t window) {
    std::string payload;
    int32(payload, window);
    return record(setActiveWindow, payload);
  }
  // A tab in a window at an index, showing one page.
  SessionWriter& tab(std::int32_t window, std::int32_t tab, std::int32_t index,
                     const std::u16string& title) {
    pair(setTabWindow, window, tab);
    pair(setTabIndexInWindow, tab, index);
    std::string pickle;
    int32(pickle, tab);
    int32(pickle, 0);
    const std::string url = "https://example.org/";
    int32(pickle, static_cast<std::int32_t>(url.size()));
    pickle += url;
    pad(pickle);
    int32(pickle, static_cast<std::int32_t>(title.size()));
    for (const char16_t unit : title) {
      pickle += static_cast<char>(unit & 0xff);
      pickle += static_cast<char>(unit >> 8);
    }
    pad(pickle);
    std::string payload;
    int32(payload, static_cast<std::int32_t>(pickle.size()));
    record(updateTabNavigation, payload + pickle);
    return pair(setSelectedNavigationIndex, tab, 0);
  }

  const std::string& bytes() const { return bytes_; }

 private:
  static void int32(std::string& out, std::int32_t value) {
    for (int byte = 0; byte < 4; ++byte) {
      out += static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * byte)) & 0xff);
    }
  }
  static void pad(std::string& out) {
    while (out.size() % 4 != 0) {
      out += '\0';
    }
  }
  std::string bytes_;
};

TEST(SessionFile, ReadsActivationsAndSelectedTitles) {
  const auto bytes = SessionWriter()
                         .tab(1, 10, 0, u"Inbox")
                         .tab(1, 11, 1, u"Caf\u00e9 \U0001F600")
                         .pair(setSelectedTabInIndex, 1, 1)
                         .tab(2, 20, 0, u"Closed")
                         .pair(setSelectedTabInIndex, 2, 0)
                         .active(2)
                         .active(1)
                         .pair(windowClosed, 2, 0)
                         .bytes();
  const auto state = parse(bytes);
  ASSERT_TRUE(state);
  EXPECT_EQ(state->activations, (std::vector<std::int32_t>{2, 1}));
  EXPECT_EQ(state->selectedTitles,
            (std::map<std::int32_t, std::string>{{1, "Caf\u00e9 \U0001F600"}}));

  // Cut anywhere, the file keeps what came before the cut, and never more.
  for (std::size_t length = 0; length < bytes.size(); ++length) {
    const auto cut = parse(bytes.substr(0, length));
    if (cut) {
      EXPECT_LE(cut->activations.size(), 2u) << length;
    }
  }
}

TEST(SessionFile, RefusesWhatItCannotRead) {
  const std::string rows[] = {
      "",
      "SNSS",
      "XXXX\3\0\0\0",
      SessionWriter(2).active(1).bytes(),
      SessionWriter(4).active(1).bytes(),
      SessionWriter(9).active(1).bytes(),
  };
  for (const auto& row : rows) {
    EXPECT_EQ(parse(row), std::nullopt) << row.size();
  }
  // A record claiming more than the file holds, and garbage records, end or pass harmlessly.
  EXPECT_EQ(parse(SessionWriter().active(5).record(setActiveWindow, "").bytes() + "\xff\xff\x14")
                ->activations,
            (std::vector<std::int32_t>{5}));
  EXPECT_EQ(parse(SessionWriter(1).record(updateTabNavigation, std::string(12, '\xff')).bytes()),
            SessionState{});
}

TEST(SessionAttribution, OnlyOneProfileEverFits) {
  const auto session = [](std::vector<std::int32_t> activations,
                          std::map<std::int32_t, std::string> titles) {
    return SessionState{std::move(activations), std::move(titles)};
  };
  const session_attribution::Sessions before{{"Default", session({1}, {{1, "Inbox"}})},
                                             {"Profile 1", session({7}, {{7, "Docs"}})}};
  auto after = before;
  after["Profile 1"].activations.push_back(7);
  EXPECT_EQ(session_attribution::byActivation(before, after), "Profile 1");
  after["Default"].activations.push_back(1);
  EXPECT_EQ(session_attribution::byActivation(before, after), std::nullopt);  // both moved
  EXPECT_EQ(session_attribution::byActivation(before, before), std::nullopt);

  EXPECT_EQ(session_attribution::byTitle("Docs - Chromium", "Chromium", before), "Profile 1");
  EXPECT_EQ(session_attribution::byTitle("Inbox", "Chromium", before), "Default");
  EXPECT_EQ(session_attribution::byTitle("News - Chromium", "Chromium", before), std::nullopt);
  auto ambiguous = before;
  ambiguous["Profile 1"].selectedTitles[8] = "Inbox";
  EXPECT_EQ(session_attribution::byTitle("Inbox - Chromium", "Chromium", ambiguous), std::nullopt);
}

}  // namespace
}  // namespace quayline
