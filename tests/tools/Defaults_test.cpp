#include <gtest/gtest.h>

#include "ToolProcess.h"
#include "foundation/PropertyValue.h"

namespace quayline {
namespace {

using namespace tools;

const std::string kTool = QUAYLINE_STAGE_DIR "/bin/quayline-defaults";
const fs::path kDockData = fs::path(QUAYLINE_TEST_DATA_DIR) / "dock";
const fs::path kLeftDock = kDockData / "com.apple.dock.left.plist";
const fs::path kRightDock = kDockData / "com.apple.dock.right.plist";
const fs::path kLeftDockBinary = kDockData / "com.apple.dock.left.binary.plist";

class DefaultsToolTest : public ToolTest {
 protected:
  ToolResult run(std::vector<std::string> arguments, const std::string& input = "") const {
    const char* path = std::getenv("PATH");
    return runTool(kTool, arguments,
                   {"QUAYLINE_PREFERENCES_DIR=" + preferences_.string(), "HOME=" + home_.string(),
                    "XDG_CONFIG_HOME=" + (home_ / ".config").string(),
                    std::string("PATH=") + (path ? path : "/usr/bin:/bin")},
                   input);
  }

  // Runs a command that must succeed and returns its output.
  std::string succeed(std::vector<std::string> arguments, const std::string& input = "") const {
    const ToolResult result = run(arguments, input);
    EXPECT_EQ(result.status, 0) << result.err;
    return result.out;
  }

  std::optional<PropertyValue> stored(const std::string& fileName) const {
    return decodePropertyList(fileText(preferences_ / fileName));
  }

  const fs::path& home_ = root_;
};

TEST_F(DefaultsToolTest, EveryTypeWrittenReadsBackWithItsType) {
  struct Row {
    std::vector<std::string> value;
    std::string type;
    std::string printed;
    PropertyValue stored;
  };
  const Row rows[] = {
      {{"-bool", "YES"}, "boolean", "true", PropertyValue(true)},
      {{"-bool", "False"}, "boolean", "false", PropertyValue(false)},
      {{"-int", "-9223372036854775808"},
       "integer",
       "-9223372036854775808",
       PropertyValue(std::numeric_limits<std::int64_t>::min())},
      {{"-int", "+48"}, "integer", "48", PropertyValue(48)},
      {{"-float", "2.5"}, "float", "2.5", PropertyValue(2.5)},
      {{"-float", "2"}, "float", "2.0", PropertyValue(2.0)},
      {{"-string", "left side"}, "string", "left side", PropertyValue("left side")},
      {{"-5"}, "string", "-5", PropertyValue("-5")},
      {{"-data", "00fF10"},
       "data",
       "{length = 3, bytes = 0x00ff10}",
       PropertyValue(PropertyData{0x00, 0xFF, 0x10})},
      {{"-date", "2026-12-06T22:23:25+02:00"},
       "date",
       "2026-12-06 20:23:25 +0000",
       PropertyValue(PropertyDate{1796588605})},
      {{"-array", "a", "b c"},
       "array",
       "(\n    a,\n    \"b c\"\n)",
       PropertyValue(PropertyValue::Array{PropertyValue("a"), PropertyValue("b c")})},
      {{"-dict", "k", "v"},
       "dictionary",
       "{\n    k = v;\n}",
       PropertyValue(PropertyValue::Dictionary{{"k", PropertyValue("v")}})},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.value.front());
    std::vector<std::string> write{"write", "com.orrin.quayline", "key"};
    write.insert(write.end(), row.value.begin(), row.value.end());
    succeed(write);
    EXPECT_EQ(succeed({"read-type", "com.orrin.quayline", "key"}), "Type is " + row.type + "\n");
    EXPECT_EQ(succeed({"read", "com.orrin.quayline", "key"}), row.printed + "\n");
    const auto file = stored("com.orrin.quayline.plist");
    ASSERT_TRUE(file);
    EXPECT_EQ(*file->find("key"), row.stored);
  }
}

TEST_F(DefaultsToolTest, ImportedSystemDockListsReadBackCompletely) {
  struct Fixture {
    fs::path file;
    std::string orientation;
    std::string tilesize;
  };
  for (const Fixture& fixture :
       {Fixture{kLeftDock, "left", "48"}, Fixture{kRightDock, "right", "36"},
        Fixture{kLeftDockBinary, "left", "48"}}) {
    SCOPED_TRACE(fixture.file.filename().string());
    succeed({"import", "com.apple.dock", fixture.file.string()});

    // The domain holds exactly what was exported, whatever the source's format.
    EXPECT_EQ(stored("com.apple.dock.plist"), decodePropertyList(fileText(fixture.file)));
    EXPECT_EQ(succeed({"read", "com.apple.dock", "orientation"}), fixture.orientation + "\n");
    EXPECT_EQ(succeed({"read", "com.apple.dock", "tilesize"}), fixture.tilesize + "\n");
    for (const auto& [key, type] :
         std::map<std::string, std::string>{{"tilesize", "integer"},
                                            {"autohide", "boolean"},
                                            {"orientation", "string"},
                                            {"persistent-apps", "array"},
                                            {"persistent-others", "array"}}) {
      EXPECT_EQ(succeed({"read-type", "com.apple.dock", key}), "Type is " + type + "\n") << key;
    }
  }

  succeed({"import", "com.apple.dock", "-"}, fileText(kLeftDock));
  const std::string shown = succeed({"read", "com.apple.dock"});
  for (const char* line : {
           "    autohide = true;\n",
           "    autohide-delay = 0.25;\n",
           "    orientation = left;\n",
           "    tilesize = 48;\n",
           "            GUID = -2093741066;\n",
           "                bundle-identifier = com.apple.Safari;\n",
           "                    _CFURLString = file:///Applications/Safari.app/;\n",
           "                    _CFURLString = \"/Users/mara/Applications/Notizblock – "
           "Entwurf.app\";\n",
           "                book = {length = 24, bytes = "
           "0x626f6f6b3002000000000410300000000000000000000000};\n",
           "            tile-type = spacer-tile;\n",
           "            tile-type = small-spacer-tile;\n",
           "            tile-type = directory-tile;\n",
           "    recent-apps = (\n    );\n",
       }) {
    EXPECT_NE(shown.find(line), std::string::npos) << "missing: " << line << "in:\n" << shown;
  }
}

TEST_F(DefaultsToolTest, ExportWritesAnXmlListThatImportsBackUnchanged) {
  succeed({"import", "com.apple.dock", kRightDock.string()});
  const fs::path exported = home_ / "exported.plist";
  succeed({"export", "com.apple.dock", exported.string()});
  const std::string xml = fileText(exported);
  EXPECT_TRUE(xml.starts_with("<?xml")) << xml;
  EXPECT_EQ(decodePropertyList(xml), decodePropertyList(fileText(kRightDock)));
  EXPECT_EQ(decodePropertyList(succeed({"export", "com.apple.dock", "-"})),
            decodePropertyList(fileText(kRightDock)));
}

TEST_F(DefaultsToolTest, GlobalDomainAndDeletion) {
  succeed({"write", "-g", "AppleIconAppearanceTheme", "RegularDark"});
  succeed({"write", "com.apple.dock", "tilesize", "-int", "48"});
  succeed({"write", "com.apple.dock", "autohide", "-bool", "true"});
  EXPECT_EQ(succeed({"read", "NSGlobalDomain", "AppleIconAppearanceTheme"}), "RegularDark\n");
  EXPECT_TRUE(fs::exists(preferences_ / ".GlobalPreferences.plist"));
  EXPECT_EQ(succeed({"domains"}), "NSGlobalDomain, com.apple.dock\n");

  succeed({"delete", "com.apple.dock", "tilesize"});
  EXPECT_EQ(stored("com.apple.dock.plist"),
            PropertyValue(PropertyValue::Dictionary{{"autohide", PropertyValue(true)}}));
  succeed({"delete", "-g"});
  EXPECT_FALSE(fs::exists(preferences_ / ".GlobalPreferences.plist"));
  EXPECT_EQ(succeed({"domains"}), "com.apple.dock\n");
}

TEST_F(DefaultsToolTest, BadRequestsExplainThemselvesAndWriteNothing) {
  succeed({"write", "com.apple.dock", "autohide", "-bool", "true"});
  fs::create_directories(preferences_);
  std::ofstream(preferences_ / "com.example.broken.plist") << "<plist><dict>";
  const fs::path garbage = home_ / "garbage.plist";
  std::ofstream(garbage) << "not a property list";
  const fs::path array = home_ / "array.plist";
  std::ofstream(array) << encodeXmlPropertyList(PropertyValue(PropertyValue::Array{}));
  const std::string binary = fileText(kLeftDockBinary);
  const fs::path truncated = home_ / "truncated.plist";
  std::ofstream(truncated, std::ios::binary) << binary.substr(0, binary.size() - 7);

  struct Row {
    std::vector<std::string> arguments;
    std::string message;
  };
  const std::string dock = "com.apple.dock";
  const Row rows[] = {
      {{"read", dock, "tilesize"},
       "the domain/default pair of (com.apple.dock, tilesize) does not exist"},
      {{"read-type", dock, "tilesize"}, "(com.apple.dock, tilesize) does not exist"},
      {{"read", "com.example.none"}, "the domain com.example.none does not exist"},
      {{"read", "com.example.broken"}, "not a readable property-list dictionary"},
      {{"write", dock, "tilesize", "-int", "12a"}, "\"12a\" is not a signed 64-bit integer"},
      {{"write", dock, "tilesize", "-int", "9223372036854775808"}, "not a signed 64-bit integer"},
      {{"write", dock, "tilesize", "-int", ""}, "not a signed 64-bit integer"},
      {{"write", dock, "autohide", "-bool", "maybe"}, "\"maybe\" is not a boolean"},
      {{"write", dock, "scale", "-float", "nan"}, "is not a finite number"},
      {{"write", dock, "scale", "-float", "1e999"}, "is not a finite number"},
      {{"write", dock, "book", "-data", "abc"}, "is not hexadecimal data"},
      {{"write", dock, "book", "-data", "zz"}, "is not hexadecimal data"},
      {{"write", dock, "when", "-date", "2026-02-30T00:00:00Z"}, "is not an ISO 8601 date"},
      {{"write", dock, "when", "-date", "2026-12-06 20:23:25"}, "is not an ISO 8601 date"},
      {{"write", dock, "when", "-date", "2100-01-01T00:00:00Z"}, "outside the dates"},
      {{"write", dock, "pairs", "-dict", "lonely"}, "-dict needs pairs"},
      {{"write", dock, "tilesize"}, "write needs a value"},
      {{"write", dock, "tilesize", "-int"}, "write needs a value after -int"},
      {{"write", dock, "tilesize", "1", "2"}, "write takes one value"},
      {{"write", dock, "tilesize", "-number", "5"}, "unknown value type -number"},
      {{"write", "../escape", "key", "value"}, "\"../escape\" is not a valid domain name"},
      {{"frobnicate"}, "unknown command \"frobnicate\""},
      {{"read", dock, "a", "b"}, "wrong number of arguments for read"},
      {{"delete", "com.example.none"}, "the domain com.example.none does not exist"},
      {{"delete", dock, "tilesize"}, "(com.apple.dock, tilesize) does not exist"},
      {{"import", dock, garbage.string()}, garbage.string() + " is not a readable property list"},
      {{"import", dock, truncated.string()}, "is not a readable property list"},
      {{"import", dock, array.string()}, "holds array at its top level"},
      {{"import", dock, (home_ / "absent.plist").string()}, "no such file"},
      {{"import", dock}, "wrong number of arguments for import"},
      {{"export", "com.example.none", "-"}, "the domain com.example.none does not exist"},
      {{}, "no command given"},
  };
  const auto before = snapshot(preferences_);
  for (const Row& row : rows) {
    const ToolResult result = run(row.arguments);
    const std::string command = row.arguments.empty() ? "(none)" : row.arguments.front();
    EXPECT_EQ(result.status, 1) << command << ": " << row.message;
    EXPECT_TRUE(result.err.starts_with("quayline-defaults: ")) << result.err;
    EXPECT_NE(result.err.find(row.message), std::string::npos)
        << "expected \"" << row.message << "\" in: " << result.err;
    EXPECT_EQ(snapshot(preferences_), before) << command << ": " << row.message;
  }
  EXPECT_NE(run({}).err.find("usage: quayline-defaults"), std::string::npos);
  EXPECT_TRUE(succeed({"help"}).starts_with("usage: quayline-defaults"));
}

}  // namespace
}  // namespace quayline
