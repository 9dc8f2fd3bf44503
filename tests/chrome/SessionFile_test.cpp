#include "chrome/SessionFile.h"

#include <gtest/gtest.h>

#include "chrome/SessionAttribution.h"
#include "chrome/SessionWriter.h"

namespace quayline {
namespace {

using namespace session_file;

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
