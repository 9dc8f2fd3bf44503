#include "chrome/ChromeAvatarImages.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "chrome/ChromeAvatarCatalog.h"
#include "chrome/ResourcePackBuilder.h"
#include "fakes/FakeImageDecoding.h"
#include "fakes/TemporaryHome.h"

namespace quayline {
namespace {

TEST(ChromeAvatarNumber, TakesTheSignedIntegerAfterTheMarker) {
  const std::vector<std::pair<std::string, std::optional<int>>> cases{
      {"chrome://theme/IDR_PROFILE_AVATAR_27", 27},
      {"IDR_PROFILE_AVATAR_+30", 30},
      {"IDR_PROFILE_AVATAR_-2", -2},
      {"IDR_PROFILE_AVATAR_0IDR_PROFILE_AVATAR_28", std::nullopt},
      {"IDR_PROFILE_AVATAR_", std::nullopt},
      {"IDR_PROFILE_AVATAR_+", std::nullopt},
      {"IDR_PROFILE_AVATAR_+-3", std::nullopt},
      {"IDR_PROFILE_AVATAR_27 ", std::nullopt},
      {"IDR_PROFILE_AVATAR_99999999999", std::nullopt},
      {"chrome://theme/IDR_PROFILE_AVATAR", std::nullopt},
  };
  for (const auto& [value, number] : cases) {
    EXPECT_EQ(chromeAvatarNumber(value), number) << value;
  }
}

class ChromeAvatarImagesTest : public TemporaryHome {
 protected:
  void SetUp() override {
    TemporaryHome::SetUp();
    support = root / "support";
    std::filesystem::create_directories(support / "Default");
    std::vector<std::pair<std::uint16_t, std::string>> run;
    for (int j = 0; j < 10; ++j) {
      run.emplace_back(static_cast<std::uint16_t>(300 + j), pngHeader(96, 96, 'a'));
    }
    std::ofstream(support / "pack", std::ios::binary) << buildResourcePack(run);
  }

  void writePicture(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }

  ChromeProfile profile(const std::string& pictureName, std::string directory = "Default") {
    ChromeProfile result;
    result.directory = std::move(directory);
    result.avatarURL = Url::fileURL((support / result.directory / pictureName).string());
    result.avatarIconValue = "chrome://theme/IDR_PROFILE_AVATAR_27";
    return result;
  }

  static std::uint32_t level(const std::optional<ChromeAvatar>& avatar) {
    return avatar && avatar->image ? avatar->image->pixels.front() & 0xFF : 0;
  }

  std::filesystem::path support;
  FakeImageDecoding decoder;
};

TEST_F(ChromeAvatarImagesTest, ThePictureFileComesFirstThenTheBuiltInAvatar) {
  ChromeAvatarCatalog packs({support / "pack"}, decoder);
  ChromeAvatarImages avatars(support, packs, decoder);
  writePicture(support / "Default" / "picture.png", pngHeader(64, 64, 'p'));
  EXPECT_EQ(level(avatars.image(profile("picture.png"))), std::uint32_t{'p'});

  auto builtIn = profile("missing.png", "Profile 1");
  EXPECT_EQ(level(avatars.image(builtIn)), std::uint32_t{'a'});
  builtIn.avatarIconValue = "chrome://theme/IDR_PROFILE_AVATAR_26";
  avatars.forget();
  EXPECT_FALSE(avatars.image(builtIn));
}

TEST_F(ChromeAvatarImagesTest, PicturesOutsideTheProfileOrNotPlainFilesAreRefused) {
  ChromeAvatarCatalog packs({}, decoder);
  ChromeAvatarImages avatars(support, packs, decoder);
  std::filesystem::create_directories(support / "Default" / "sub");
  writePicture(support / "outside.png", pngHeader(8, 8, 'o'));
  writePicture(support / "Default" / "sub" / "deep.png", pngHeader(8, 8, 'd'));
  writePicture(support / "Default" / "huge.png",
               pngHeader(8, 8, 'h') + std::string(ChromeAvatarImages::kMaximumPictureBytes, 0));
  ASSERT_EQ(::mkfifo((support / "Default" / "fifo.png").c_str(), 0600), 0);
  std::filesystem::create_directories(support / "Default" / "folder.png");

  const std::vector<ChromeProfile> refused{
      profile("../outside.png"),
      profile("sub/deep.png"),
      profile("huge.png"),
      profile("fifo.png"),  // would block the reader if opened for reading as a file
      profile("folder.png"),
      profile("outside.png", ".."),
      [&] {
        auto p = profile("x.png");
        p.avatarURL = Url::fileURL((support / "outside.png").string());
        return p;
      }()};
  for (const auto& candidate : refused) {
    avatars.forget();
    EXPECT_FALSE(avatars.image(candidate)) << candidate.avatarURL->absoluteString();
  }
  EXPECT_EQ(decoder.decodes, 0);
}

TEST_F(ChromeAvatarImagesTest, FailuresAreRememberedAndVersionsChangeWithThePicture) {
  ChromeAvatarCatalog packs({}, decoder);
  ChromeAvatarImages avatars(support, packs, decoder);
  const auto path = support / "Default" / "picture.png";
  writePicture(path, "not a picture");
  for (int draw = 0; draw < 60; ++draw) {
    EXPECT_FALSE(avatars.image(profile("picture.png")));
  }
  EXPECT_EQ(decoder.decodes, 1);

  writePicture(path, pngHeader(32, 32, 'v'));
  EXPECT_FALSE(avatars.image(profile("picture.png")));  // until the next reload
  avatars.forget();
  const auto first = avatars.image(profile("picture.png"));
  ASSERT_TRUE(first);

  writePicture(path, pngHeader(32, 32, 'w') + "longer");
  avatars.forget();
  const auto second = avatars.image(profile("picture.png"));
  ASSERT_TRUE(second);
  EXPECT_NE(chromeAvatarCacheKey("Default", *first, 64),
            chromeAvatarCacheKey("Default", *second, 64));
  EXPECT_EQ(chromeAvatarCacheKey("Default", *second, 64),
            "image:avatar:Default:" + second->version + ":64");
}

}  // namespace
}  // namespace quayline
