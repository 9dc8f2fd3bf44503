#include "chrome/ChromeAvatarCatalog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "chrome/ResourcePack.h"
#include "chrome/ResourcePackBuilder.h"
#include "fakes/FakeImageDecoding.h"
#include "fakes/TemporaryHome.h"

namespace quayline {
namespace {

using Resources = std::vector<std::pair<std::uint16_t, std::string>>;

// `count` avatar pictures from `first` on, each tagged with its position in the run.
void addRun(Resources& resources, std::uint16_t first, int count) {
  for (int j = 0; j < count; ++j) {
    resources.emplace_back(static_cast<std::uint16_t>(first + j),
                           pngHeader(96, 96, static_cast<char>(j + 1)));
  }
}

void overwrite(std::string& bytes, std::size_t offset, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i) {
    bytes[offset + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
  }
}

TEST(ResourcePack, ReadsBothVersionsAndKeepsTheLastOfARepeatedId) {
  const Resources resources{{7, "seven"}, {3, ""}, {9, "nine"}, {7, "again"}};
  for (int version : {4, 5}) {
    const std::string bytes = buildResourcePack(resources, version);
    const auto pack = readResourcePack(bytes);
    ASSERT_TRUE(pack) << "version " << version;
    EXPECT_EQ(*pack, (ResourcePack{{3, ""}, {7, "again"}, {9, "nine"}})) << "version " << version;
  }
}

TEST(ResourcePack, RejectsMalformedPacksWhole) {
  const std::string good = buildResourcePack({{1, "one"}, {2, "two"}, {3, "three"}}, 5);
  const std::string good4 = buildResourcePack({{1, "one"}, {2, "two"}}, 4);
  struct Case {
    const char* what;
    std::string bytes;
  };
  std::vector<Case> cases{
      {"shorter than a header", good.substr(0, 11)},
      {"unknown version",
       [&] {
         auto b = good;
         overwrite(b, 0, 6, 4);
         return b;
       }()},
      {"no resources",
       [&] {
         auto b = good;
         overwrite(b, 8, 0, 2);
         return b;
       }()},
      {"entry table longer than the file",
       [&] {
         auto b = good;
         overwrite(b, 8, 900, 2);
         return b;
       }()},
      {"version 4 count that would wrap",
       [&] {
         auto b = good4;
         overwrite(b, 4, 0xFFFFFFFF, 4);
         return b;
       }()},
      // The third entry starts before the second: the first resource alone would be fine.
      {"decreasing offset",
       [&] {
         auto b = good;
         overwrite(b, 12 + 12 + 2, 38, 4);
         return b;
       }()},
      {"data past the end", good.substr(0, good.size() - 1)},
      {"end marker past the end",
       [&] {
         auto b = good;
         overwrite(b, 12 + 18 + 2, 0xFFFFFF00, 4);
         return b;
       }()},
  };
  for (const auto& [what, bytes] : cases) {
    EXPECT_FALSE(readResourcePack(bytes)) << what;
  }
}

TEST(ResourcePack, PngPixelSizeNeedsTheSignatureAndAFullHeader) {
  EXPECT_EQ(pngPixelSize(pngHeader(96, 40)), (PngSize{96, 40}));
  EXPECT_EQ(pngPixelSize(pngHeader(70000, 1)), (PngSize{70000, 1}));
  EXPECT_FALSE(pngPixelSize(pngHeader(96, 96).substr(0, 23)));
  EXPECT_FALSE(pngPixelSize("GIF89a" + pngHeader(96, 96).substr(6)));
}

TEST(ResourcePack, AvatarBlockIsTheLongestRunOfAvatarSizedPngs) {
  struct Case {
    const char* what;
    Resources resources;
    std::optional<AvatarBlock> block;
  };
  std::vector<Case> cases;
  {
    Case c{"two runs of 12: the lower ids win", {}, AvatarBlock{100, 12}};
    addRun(c.resources, 100, 12);
    addRun(c.resources, 200, 12);
    cases.push_back(c);
  }
  {
    Case c{"a longer later run beats an earlier one", {}, AvatarBlock{300, 11}};
    addRun(c.resources, 100, 10);
    addRun(c.resources, 300, 11);
    cases.push_back(c);
  }
  {
    Case c{"a run of 9 is no block", {}, std::nullopt};
    addRun(c.resources, 100, 9);
    cases.push_back(c);
  }
  {
    // Id 105 is a 48 × 48 picture: it splits the ids into runs of 5 and 9.
    Case c{"other sizes break a run", {}, std::nullopt};
    addRun(c.resources, 100, 15);
    c.resources[5].second = pngHeader(48, 48);
    cases.push_back(c);
  }
  {
    Case c{"the run is found among other resources",
           {{1, "text"}, {2, pngHeader(96, 96)}},
           AvatarBlock{10, 10}};
    addRun(c.resources, 10, 10);
    cases.push_back(c);
  }
  for (const auto& [what, resources, block] : cases) {
    const std::string bytes = buildResourcePack(resources);
    EXPECT_EQ(locateAvatarBlock(*readResourcePack(bytes)), block) << what;
  }
}

class ChromeAvatarCatalogTest : public TemporaryHome {
 protected:
  std::filesystem::path write(const std::string& name, const std::string& bytes) {
    std::ofstream(root / name, std::ios::binary) << bytes;
    return root / name;
  }

  FakeImageDecoding decoder;
};

TEST_F(ChromeAvatarCatalogTest, ServesAvatarNumbersFrom27OnOutOfTheBlockAlone) {
  Resources resources{{1, std::string(20000, 'x')}};
  addRun(resources, 500, 12);
  const auto pack = write("chrome_200_percent.pak", buildResourcePack(resources));
  ChromeAvatarCatalog catalog({root / "missing.pak", pack}, decoder);

  const auto first = catalog.image(27);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->width, 96);
  EXPECT_EQ(first->pixels.front(), 0xFF010101u);  // the run's first picture
  EXPECT_EQ(catalog.image(38)->pixels.front(), 0xFF0C0C0Cu);
  EXPECT_FALSE(catalog.image(26));
  EXPECT_FALSE(catalog.image(27 + 12));
  EXPECT_FALSE(catalog.image(-5));

  // A second request is served from memory, even after the pack was rewritten in place.
  std::filesystem::resize_file(pack, 0);
  EXPECT_EQ(catalog.image(27), first);
  EXPECT_EQ(decoder.decodes, 2);
  EXPECT_TRUE(catalog.image(30));
  // Only the block's bytes stay, not the other 20 KB of the pack.
  EXPECT_LT(catalog.keptBytes(), 12 * 64 + 3 * 96 * 96 * 4 + 1);
}

TEST_F(ChromeAvatarCatalogTest, TheFirstReadablePackDecidesEvenWithoutAvatars) {
  Resources nine;
  addRun(nine, 500, 9);
  Resources twelve;
  addRun(twelve, 500, 12);
  const auto garbage = write("a.pak", "not a pack at all");
  const auto shortRun = write("b.pak", buildResourcePack(nine, 4));
  const auto full = write("c.pak", buildResourcePack(twelve));
  ChromeAvatarCatalog catalog({garbage, shortRun, full}, decoder);
  EXPECT_FALSE(catalog.image(27));
  EXPECT_FALSE(catalog.block());
  EXPECT_EQ(catalog.keptBytes(), 0u);
}

TEST_F(ChromeAvatarCatalogTest, UndecodablePicturesAreNotKept) {
  Resources resources;
  addRun(resources, 40, 10);
  const auto pack = write("p.pak", buildResourcePack(resources));
  struct Refusing final : ImageDecoding {
    std::optional<ArgbImage> decode(std::string_view) override { return std::nullopt; }
  } refusing;
  ChromeAvatarCatalog catalog({pack}, refusing);
  EXPECT_FALSE(catalog.image(27));
  EXPECT_EQ(catalog.block(), (AvatarBlock{40, 10}));
}

}  // namespace
}  // namespace quayline
