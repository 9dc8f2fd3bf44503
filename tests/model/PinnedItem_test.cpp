#include "model/PinnedItem.h"

#include <gtest/gtest.h>

#include <unordered_set>

namespace quayline {
namespace {

std::vector<PinnedItem> decode(std::string_view json) {
  auto items = decodePinnedList(json);
  EXPECT_TRUE(items.has_value()) << json;
  return items.value_or(std::vector<PinnedItem>{});
}

TEST(PinnedItemCoding, WritesSortedKeysWithoutWhitespace) {
  const std::vector<PinnedItem> items{
      PinnedApp{"com.example.Mail", "/usr/share/applications/mail.desktop"},
      PinnedApp{"com.example.Notes", std::nullopt},
      PinnedChromeProfile{"Profile 1"},
      PinnedSpacer{true},
      PinnedFolder{"/home/u/Downloads"},
  };
  EXPECT_EQ(
      encodePinnedList(items),
      R"([{"bundleIdentifier":"com.example.Mail","kind":"app","path":"/usr/share/applications/mail.desktop"},)"
      R"({"bundleIdentifier":"com.example.Notes","kind":"app"},)"
      R"({"directory":"Profile 1","kind":"chromeProfile"},)"
      R"({"kind":"spacer","small":true},)"
      R"({"kind":"folder","path":"/home/u/Downloads"}])");
  EXPECT_EQ(decode(encodePinnedList(items)), items);
}

TEST(PinnedItemCoding, BadElementsAreDroppedAndTheirNeighboursSurvive) {
  const auto items = decode(R"([{"kind":"folder","path":"/a"},)"
                            R"({"kind":"app","bundleIdentifier":""},)"
                            R"({"kind":"rocket"},)"
                            R"({"kind":"folder"},)"
                            R"({"bundleIdentifier":"x"},)"
                            R"(42, null, "text", [1],)"
                            R"({"kind":"app","bundleIdentifier":"com.example.B","path":7},)"
                            R"({"kind":"spacer","small":"yes"},)"
                            R"({"kind":"app","bundleIdentifier":"com.example.A"}])");
  EXPECT_EQ(items, (std::vector<PinnedItem>{PinnedFolder{"/a"}, PinnedApp{"com.example.A", {}}}));
}

TEST(PinnedItemCoding, ErrorsNameWhatWentWrongAndOnlyAnArrayIsAList) {
  EXPECT_EQ(decodePinnedItem(Json::parse(R"({"kind":"app","bundleIdentifier":""})")).error,
            "Empty bundle identifier");
  EXPECT_EQ(decodePinnedItem(Json::parse(R"({"kind":"Folder","path":"/a"})")).error,
            "Unknown pinned item kind Folder");
  EXPECT_FALSE(decodePinnedList(R"({"kind":"spacer"})"));
  EXPECT_FALSE(decodePinnedList("not json"));
  EXPECT_FALSE(decodePinnedList(""));
  EXPECT_EQ(decodePinnedList("[]"), std::vector<PinnedItem>{});
  EXPECT_EQ(decodePinnedList(R"([{"kind":"rocket"}])"), std::vector<PinnedItem>{});
}

TEST(PinnedItemCoding, ToleratesWhatOtherWritersProduce) {
  // Escaped slashes, foreign keys, a spacer without "small", a null optional path.
  const auto items = decode(
      R"([ {"kind":"folder","path":"\/home\/u\/Docs","small":true},)"
      R"({"kind":"spacer"}, {"kind":"app","bundleIdentifier":"a","path":null,"directory":"d"} ])");
  EXPECT_EQ(items, (std::vector<PinnedItem>{PinnedFolder{"/home/u/Docs"}, PinnedSpacer{false},
                                            PinnedApp{"a", std::nullopt}}));
  EXPECT_EQ(encodePinnedList({items[1]}), R"([{"kind":"spacer","small":false}])");
}

TEST(PinnedItemValue, EqualityAndHashSeeEveryPayloadField) {
  const PinnedItem withPath = PinnedApp{"a", "/x"};
  const PinnedItem otherPath = PinnedApp{"a", "/y"};
  const PinnedItem noPath = PinnedApp{"a", std::nullopt};
  EXPECT_NE(withPath, otherPath);
  EXPECT_NE(withPath, noPath);
  EXPECT_NE(PinnedItem{PinnedFolder{"a"}}, PinnedItem{PinnedChromeProfile{"a"}});
  std::unordered_set<PinnedItem> set{
      withPath, otherPath, noPath, PinnedApp{"a", "/x"}, PinnedSpacer{false}, PinnedSpacer{true}};
  EXPECT_EQ(set.size(), 5u);
}

}  // namespace
}  // namespace quayline
