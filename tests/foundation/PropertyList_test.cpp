#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>

#include "foundation/FileReading.h"
#include "foundation/PropertyValue.h"

namespace quayline {
namespace {

using Dictionary = PropertyValue::Dictionary;
using Array = PropertyValue::Array;

const std::filesystem::path kDockData = std::filesystem::path(QUAYLINE_TEST_DATA_DIR) / "dock";

PropertyDate utc(double unixSeconds) {
  return PropertyDate{unixSeconds};
}

struct Codec {
  const char* name;
  std::function<std::optional<PropertyValue>(const PropertyValue&)> roundTrip;
};

const Codec kCodecs[] = {
    {"xml", [](const PropertyValue& v) { return decodePropertyList(encodeXmlPropertyList(v)); }},
    {"binary",
     [](const PropertyValue& v) { return decodePropertyList(encodeBinaryPropertyList(v)); }},
};

PropertyValue everyKind() {
  return PropertyValue(Dictionary{
      {"yes", PropertyValue(true)},
      {"no", PropertyValue(false)},
      {"zero", PropertyValue(0)},
      {"negative", PropertyValue(-48)},
      {"min", PropertyValue(std::numeric_limits<std::int64_t>::min())},
      {"max", PropertyValue(std::numeric_limits<std::int64_t>::max())},
      {"beyond 32 bits", PropertyValue(std::int64_t{1} << 40)},
      {"tenth", PropertyValue(0.1)},
      {"tiny", PropertyValue(-2.5e-300)},
      {"huge", PropertyValue(1.7e308)},
      {"empty string", PropertyValue("")},
      {"markup", PropertyValue("<a href=\"x\">&amp;</a> 'q'")},
      {"ключ ü 🚀", PropertyValue("Grüße – 東京 🚀")},
      {"data with NULs", PropertyValue(PropertyData{0, 1, 0, 0xFF, 0})},
      {"empty data", PropertyValue(PropertyData{})},
      {"date", PropertyValue(utc(1796588605))},        // 2026-12-06 20:23:25 UTC
      {"before 2001", PropertyValue(utc(-14182940))},  // 1969-07-20 20:17:40 UTC
      {"empty array", PropertyValue(Array{})},
      {"empty dictionary", PropertyValue(Dictionary{})},
      {"nested",
       PropertyValue(Array{
           PropertyValue(Array{PropertyValue(1), PropertyValue(Array{PropertyValue("deep")})}),
           PropertyValue(Dictionary{{"inner", PropertyValue(Dictionary{{"x", PropertyValue(2.5)}})},
                                    {"list", PropertyValue(Array{})}}),
       })},
  });
}

TEST(PropertyList, EveryKindRoundTripsThroughBothFormats) {
  const PropertyValue value = everyKind();
  for (const Codec& codec : kCodecs) {
    SCOPED_TRACE(codec.name);
    EXPECT_EQ(codec.roundTrip(value), value);
    // Roots other than dictionaries are property lists too.
    EXPECT_EQ(codec.roundTrip(PropertyValue(Array{PropertyValue(-1)})),
              PropertyValue(Array{PropertyValue(-1)}));
    EXPECT_EQ(codec.roundTrip(PropertyValue("alone")), PropertyValue("alone"));
  }
}

TEST(PropertyList, BytesThatAreNotUtf8AreWrittenAsReplacementCharacters) {
  const PropertyValue broken(PropertyValue::Dictionary{{"k\xFF", PropertyValue("a\xC3(b")}});
  const PropertyValue repaired(PropertyValue::Dictionary{{"k\uFFFD", PropertyValue("a\uFFFD(b")}});
  for (const Codec& codec : kCodecs) {
    SCOPED_TRACE(codec.name);
    EXPECT_EQ(codec.roundTrip(broken), repaired);
  }
}

TEST(PropertyList, NegativeIntegersAreWrittenSignedInXml) {
  const std::string xml = encodeXmlPropertyList(PropertyValue(Array{PropertyValue(-7)}));
  EXPECT_NE(xml.find("<integer>-7</integer>"), std::string::npos) << xml;
}

TEST(PropertyList, DatesKeepWholeSecondsWithinTheFormatsRange) {
  for (const Codec& codec : kCodecs) {
    SCOPED_TRACE(codec.name);
    // The fraction is dropped, downwards also before the reference date.
    EXPECT_EQ(codec.roundTrip(PropertyValue(utc(1796588605.75))), PropertyValue(utc(1796588605)));
    EXPECT_EQ(codec.roundTrip(PropertyValue(utc(978307195.25))), PropertyValue(utc(978307195)));
    // Dates the format cannot hold come back clamped, not wrapped around.
    const auto farFuture = codec.roundTrip(PropertyValue(utc(1e12)));
    ASSERT_TRUE(farFuture && farFuture->date());
    EXPECT_EQ(farFuture->date()->unixSeconds, 978307200.0 + 2147483647.0);
  }
  EXPECT_TRUE(isRepresentableDate(utc(1796588605)));
  EXPECT_FALSE(isRepresentableDate(utc(1e12)));
  EXPECT_FALSE(isRepresentableDate(utc(std::numeric_limits<double>::quiet_NaN())));
}

TEST(PropertyList, BinaryAndXmlFormsOfAnExportedDockListDecodeAlike) {
  const auto xml =
      decodePropertyList(readFile(kDockData / "com.apple.dock.left.plist").value_or(""));
  const auto binary =
      decodePropertyList(readFile(kDockData / "com.apple.dock.left.binary.plist").value_or(""));
  ASSERT_TRUE(xml);
  EXPECT_EQ(binary, xml);
  const PropertyValue* apps = xml->find("persistent-apps");
  ASSERT_TRUE(apps && apps->array());
  EXPECT_EQ(apps->array()->size(), 5u);
  EXPECT_EQ(*(*apps->array())[1].find("GUID"), PropertyValue(-2093741066));
}

// A binary property list assembled by hand: objects in order, 4-byte offsets and references.
class BinaryBuilder {
 public:
  std::size_t add(std::vector<std::uint8_t> object) {
    objects_.push_back(std::move(object));
    return objects_.size() - 1;
  }
  static std::vector<std::uint8_t> container(std::uint8_t kind, std::vector<std::uint32_t> refs,
                                             std::size_t count) {
    std::vector<std::uint8_t> bytes;
    if (count < 15) {
      bytes.push_back(static_cast<std::uint8_t>(kind << 4 | count));
    } else {
      bytes.insert(bytes.end(), {static_cast<std::uint8_t>(kind << 4 | 0xF), 0x12});
      appendBigEndian(bytes, static_cast<std::uint32_t>(count));
    }
    for (std::uint32_t ref : refs) {
      appendBigEndian(bytes, ref);
    }
    return bytes;
  }
  static std::vector<std::uint8_t> array(std::vector<std::uint32_t> refs) {
    const std::size_t count = refs.size();
    return container(0xA, std::move(refs), count);
  }
  std::vector<std::uint8_t> build(std::uint64_t top = 0) const {
    std::vector<std::uint8_t> bytes{'b', 'p', 'l', 'i', 's', 't', '0', '0'};
    std::vector<std::uint32_t> offsets;
    for (const auto& object : objects_) {
      offsets.push_back(static_cast<std::uint32_t>(bytes.size()));
      bytes.insert(bytes.end(), object.begin(), object.end());
    }
    const auto tableStart = static_cast<std::uint32_t>(bytes.size());
    for (std::uint32_t offset : offsets) {
      appendBigEndian(bytes, offset);
    }
    bytes.insert(bytes.end(), {0, 0, 0, 0, 0, 0, 4, 4});
    appendBigEndian(bytes, std::uint32_t{0});
    appendBigEndian(bytes, static_cast<std::uint32_t>(objects_.size()));
    appendBigEndian(bytes, std::uint32_t{0});
    appendBigEndian(bytes, static_cast<std::uint32_t>(top));
    appendBigEndian(bytes, std::uint32_t{0});
    appendBigEndian(bytes, tableStart);
    return bytes;
  }

 private:
  static void appendBigEndian(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
      bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    }
  }
  std::vector<std::vector<std::uint8_t>> objects_;
};

TEST(PropertyList, TheHandBuiltBinaryFormIsRead) {
  // Guards the builder the malformed cases below rely on.
  BinaryBuilder builder;
  builder.add(BinaryBuilder::array({1, 2}));
  builder.add({0x09});       // true
  builder.add({0x51, 'a'});  // "a"
  EXPECT_EQ(decodePropertyList(builder.build()),
            PropertyValue(Array{PropertyValue(true), PropertyValue("a")}));
}

TEST(PropertyList, ABinaryDateWithAFractionBeforeTheReferenceDateRoundsDown) {
  // 2000-12-31 23:59:55.25 UTC, 4.75 seconds before the reference date.
  BinaryBuilder builder;
  builder.add(BinaryBuilder::array({1}));
  std::vector<std::uint8_t> date{0x33};
  std::uint64_t bits = 0;
  const double seconds = -4.75;
  std::memcpy(&bits, &seconds, sizeof bits);
  for (int shift = 56; shift >= 0; shift -= 8) {
    date.push_back(static_cast<std::uint8_t>(bits >> shift));
  }
  builder.add(date);
  EXPECT_EQ(decodePropertyList(builder.build()),
            PropertyValue(Array{PropertyValue(utc(978307195))}));
}

TEST(PropertyList, AnythingNotReadableCompletelyGivesNothing) {
  const std::vector<std::pair<const char*, std::string>> malformed = {
      {"empty", ""},
      {"garbage", "this is not a property list"},
      {"wrong XML root", "<?xml version=\"1.0\"?><settings><dict/></settings>"},
      {"truncated XML", "<plist version=\"1.0\"><dict><key>a</key><integer>1</integer>"},
      {"binary magic only", "bplist00"},
  };
  for (const auto& [name, bytes] : malformed) {
    EXPECT_EQ(decodePropertyList(bytes), std::nullopt) << name;
  }

  const PropertyData binary = encodeBinaryPropertyList(everyKind());
  for (std::size_t length = 0; length < binary.size(); ++length) {
    EXPECT_EQ(decodePropertyList(std::span(binary.data(), length)), std::nullopt)
        << "binary cut to " << length << " bytes";
  }
}

TEST(PropertyList, ValuesWithoutAPropertyValueGiveNothing) {
  BinaryBuilder uid;
  uid.add(BinaryBuilder::array({1}));
  uid.add({0x80, 0x05});  // a keyed-archive UID
  EXPECT_EQ(decodePropertyList(uid.build()), std::nullopt);

  BinaryBuilder latin1;
  latin1.add(BinaryBuilder::array({1}));
  latin1.add({0x53, 'G', 0xE4, 'x'});  // an "ASCII" string holding a Latin-1 byte
  EXPECT_EQ(decodePropertyList(latin1.build()), std::nullopt);

  BinaryBuilder integerKey;
  integerKey.add(BinaryBuilder::container(0xD, {1, 2}, 1));
  integerKey.add({0x10, 0x01});
  integerKey.add({0x51, 'a'});
  EXPECT_EQ(decodePropertyList(integerKey.build()), std::nullopt);
}

TEST(PropertyList, StringsHoldingNulGiveNothingRatherThanAborting) {
  using namespace std::string_literals;
  EXPECT_EQ(decodePropertyList("<plist><dict><key>a\0b</key><true/></dict></plist>"s),
            std::nullopt);
  EXPECT_EQ(decodePropertyList("<plist><array><string>a\0b</string></array></plist>"s),
            std::nullopt);

  BinaryBuilder ascii;
  ascii.add(BinaryBuilder::array({1}));
  ascii.add({0x53, 'a', 0x00, 'b'});
  EXPECT_EQ(decodePropertyList(ascii.build()), std::nullopt);

  BinaryBuilder utf16;
  utf16.add(BinaryBuilder::container(0xD, {1, 2}, 1));
  utf16.add({0x62, 0x00, 'k', 0x00, 0x00});  // a UTF-16 key "k\0"
  utf16.add({0x09});
  EXPECT_EQ(decodePropertyList(utf16.build()), std::nullopt);
}

TEST(PropertyList, HostileNestingAndSharingAreRefusedWithoutCrashing) {
  constexpr int kDepth = 100000;
  std::string deepXml = "<plist version=\"1.0\">";
  for (int i = 0; i < kDepth; ++i) {
    deepXml += "<array>";
  }
  for (int i = 0; i < kDepth; ++i) {
    deepXml += "</array>";
  }
  deepXml += "</plist>";
  EXPECT_EQ(decodePropertyList(deepXml), std::nullopt);

  BinaryBuilder deepBinary;
  for (std::uint32_t i = 0; i + 1 < kDepth; ++i) {
    deepBinary.add(BinaryBuilder::array({i + 1}));
  }
  deepBinary.add(BinaryBuilder::array({}));
  EXPECT_EQ(decodePropertyList(deepBinary.build()), std::nullopt);

  BinaryBuilder cycle;
  cycle.add(BinaryBuilder::array({1}));
  cycle.add(BinaryBuilder::array({0}));
  EXPECT_EQ(decodePropertyList(cycle.build()), std::nullopt);

  // Each level refers to the next twice: 60 objects that expand to 2^60 nodes.
  BinaryBuilder shared;
  for (std::uint32_t i = 0; i < 60; ++i) {
    shared.add(BinaryBuilder::array({i + 1, i + 1}));
  }
  shared.add({0x09});
  EXPECT_EQ(decodePropertyList(shared.build()), std::nullopt);

  // Nesting within the limit still reads.
  std::string nested;
  for (int i = 0; i < 100; ++i) {
    nested += "<array>";
  }
  for (int i = 0; i < 100; ++i) {
    nested += "</array>";
  }
  EXPECT_TRUE(decodePropertyList("<plist version=\"1.0\">" + nested + "</plist>"));
}

TEST(PropertyList, DescribeRendersNestedValuesInDefaultsStyle) {
  const PropertyValue value(Dictionary{
      {"autohide", PropertyValue(true)},
      {"persistent-apps",
       PropertyValue(
           Array{PropertyValue(Dictionary{
                     {"tile-data", PropertyValue(Dictionary{
                                       {"bundle-identifier", PropertyValue("com.apple.Safari")}})},
                     {"tile-type", PropertyValue("file-tile")}}),
                 PropertyValue(Dictionary{})})},
      {"path", PropertyValue("/Users/mara/My Files")},
      {"quote", PropertyValue("say \"hi\" \\ bye")},
      {"empty", PropertyValue("")},
      {"scale", PropertyValue(1.5)},
      {"whole", PropertyValue(2.0)},
      {"digits", PropertyValue("48")},
      {"word", PropertyValue("true")},
      {"tilesize", PropertyValue(-48)},
      {"book", PropertyValue(PropertyData{0x01, 0x02, 0xAB})},
      {"when", PropertyValue(utc(1796588605))},
      {"none", PropertyValue(Array{})},
  });
  EXPECT_EQ(describe(value), R"({
    autohide = true;
    book = {length = 3, bytes = 0x0102ab};
    digits = "48";
    empty = "";
    none = (
    );
    path = "/Users/mara/My Files";
    persistent-apps = (
        {
            tile-data = {
                bundle-identifier = com.apple.Safari;
            };
            tile-type = file-tile;
        },
        {
        }
    );
    quote = "say \"hi\" \\ bye";
    scale = 1.5;
    tilesize = -48;
    when = 2026-12-06 20:23:25 +0000;
    whole = 2.0;
    word = "true";
})");
  EXPECT_EQ(describe(PropertyValue(utc(-14182940))), "1969-07-20 20:17:40 +0000");
}

TEST(PropertyValue, AccessorsAnswerOnlyForTheirOwnType) {
  EXPECT_EQ(PropertyValue(3).number(), 3.0);
  EXPECT_EQ(PropertyValue(0.5).number(), 0.5);
  EXPECT_EQ(PropertyValue("3").number(), std::nullopt);
  EXPECT_EQ(PropertyValue(true).number(), std::nullopt);

  const PropertyValue dictionary(Dictionary{{"k", PropertyValue(1)}});
  ASSERT_NE(dictionary.find("k"), nullptr);
  EXPECT_EQ(*dictionary.find("k"), PropertyValue(1));
  EXPECT_EQ(dictionary.find("missing"), nullptr);
  EXPECT_EQ(PropertyValue(Array{}).find("k"), nullptr);

  EXPECT_EQ(typeName(PropertyValue(1.0).type()), "float");
  EXPECT_EQ(typeName(PropertyValue(Dictionary{}).type()), "dictionary");
  EXPECT_EQ(typeName(PropertyValue(PropertyData{}).type()), "data");
}

}  // namespace
}  // namespace quayline
