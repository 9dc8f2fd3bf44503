#include "chrome/LocalStateFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace quayline {
namespace {

namespace fs = std::filesystem;

TEST(LocalStateFile, ReadsEveryKeyInTheBrowsersOrder) {
  const fs::path support = fs::path(::testing::TempDir()) / "local-state-support";
  fs::remove_all(support);
  fs::create_directories(support / "Profile 1");
  std::ofstream(support / "Profile 1" / "me.png") << "png";
  std::ofstream(support / "secret") << "not a picture";

  const auto profiles = local_state::parse(R"({"profile": {
    "profiles_order": ["Profile 1", "Default", "Profile 1", "Gone"],
    "info_cache": {
      "Zed": {"name": "Z"},
      "Default": {"name": "", "default_avatar_fill_color": -16777216,
                  "gaia_picture_file_name": "../secret"},
      "Profile 1": {"name": "Work", "gaia_given_name": "Ann", "gaia_name": "Ann Lee",
                    "user_name": "ann@x.org", "is_using_default_name": true,
                    "gaia_picture_file_name": "me.png",
                    "avatar_icon": "chrome://theme/IDR_PROFILE_AVATAR_27",
                    "default_avatar_fill_color": "red", "profile_highlight_color": 4.0e0},
      "Temp": {"name": "Guest", "is_ephemeral": true},
      "Alpha": {"name": 7, "profile_highlight_color": 1.5},
      "Big": {"default_avatar_fill_color": 1e300, "profile_highlight_color": 4294967297}
    }}})",
                                           support);
  ASSERT_TRUE(profiles);
  std::vector<std::string> order;
  for (const auto& profile : *profiles) {
    order.push_back(profile.directory);
  }
  // "Profile 1" listed twice keeps its last place, behind "Default"; unlisted ones by name.
  EXPECT_EQ(order, (std::vector<std::string>{"Default", "Profile 1", "Alpha", "Big", "Zed"}));

  const auto& work = (*profiles)[1];
  EXPECT_EQ(work.name, "Work");
  EXPECT_EQ(work.givenName, "Ann");
  EXPECT_EQ(work.accountName, "Ann Lee");
  EXPECT_EQ(work.email, "ann@x.org");
  EXPECT_TRUE(work.usesDefaultName);
  EXPECT_EQ(work.avatarURL, Url::fileURL((support / "Profile 1" / "me.png").string()));
  EXPECT_EQ(work.avatarIconValue, "chrome://theme/IDR_PROFILE_AVATAR_27");
  EXPECT_EQ(work.badgeColorARGB, 4u);  // a string is no colour: the highlight colour counts

  const auto& fallback = (*profiles)[0];
  EXPECT_EQ(fallback.name, "Default");
  EXPECT_EQ(fallback.avatarURL, std::nullopt);  // a name that leaves the folder is refused
  EXPECT_EQ(fallback.badgeColorARGB, 0xFF000000u);
  EXPECT_EQ((*profiles)[2].name, "Alpha");
  EXPECT_EQ((*profiles)[2].badgeColorARGB, std::nullopt);
  EXPECT_EQ((*profiles)[3].badgeColorARGB, 1u);  // the low 32 bits
}

TEST(LocalStateFile, UnusableTextGivesNothing) {
  const char* rows[] = {
      "",
      "{\"profile\": {\"info_cache\": {}}",
      "[]",
      "{}",
      "{\"profile\": []}",
      "{\"profile\": {}}",
      "{\"profile\": {\"info_cache\": {\"Default\": 3}}}",
  };
  for (const char* text : rows) {
    EXPECT_EQ(local_state::parse(text, "/nonexistent"), std::nullopt) << text;
  }
  EXPECT_EQ(local_state::parse(R"({"profile": {"info_cache": {}, "profiles_order": 3}})", "/n"),
            std::vector<ChromeProfile>{});
  EXPECT_EQ(local_state::read("/nonexistent/Local State", "/nonexistent"), std::nullopt);
}

}  // namespace
}  // namespace quayline
