#include "chrome/ChromeProfileLabels.h"

#include <gtest/gtest.h>

namespace quayline {
namespace {

using namespace chrome_labels;

ChromeProfile person(std::string directory, std::string name, std::string given = "",
                     std::string email = "", bool usesDefaultName = false) {
  ChromeProfile profile;
  profile.directory = std::move(directory);
  profile.name = std::move(name);
  profile.givenName = std::move(given);
  profile.email = std::move(email);
  profile.usesDefaultName = usesDefaultName;
  return profile;
}

TEST(ChromeProfileLabels, LabelsOfOneProfile) {
  const auto plain = person("Default", "Work");
  EXPECT_EQ(chromeLabel(plain, false), "Work");
  EXPECT_EQ(titleLabels(plain, false), (std::set<std::string>{"Work"}));

  const auto signedIn = person("Profile 1", "Person 1", "Ann", "ann@x.org", true);
  EXPECT_EQ(chromeLabel(signedIn, false), "Ann");
  EXPECT_EQ(chromeLabel(signedIn, true), "Ann (Person 1)");
  EXPECT_EQ(titleLabels(signedIn, false),
            (std::set<std::string>{"Ann", "Person 1", "Ann (Person 1)"}));

  auto named = person("Profile 2", "Home", "", "", false);
  named.accountName = "Ann Lee";
  EXPECT_EQ(chromeLabel(named, false), "Ann Lee (Home)");
  EXPECT_EQ(identityKey(person("P", "n", "", "Ann@X.org")), "ann@x.org");
  EXPECT_EQ(identityKey(person("P", "n")), "dir:P");
}

TEST(ChromeProfileLabels, SharedNamesCollideOnlyBetweenPeople) {
  // Same account name, different e-mails: the longer labels keep both attributable.
  auto map = labelMap({person("A", "Work", "Ann", "ann@work.org", true),
                       person("B", "Home", "Ann", "ann@home.org", true)});
  EXPECT_TRUE(map.collisions.empty());
  EXPECT_FALSE(map.byLabel.contains("Ann"));
  EXPECT_EQ(map.byLabel.at("Ann (Work)"), "A");
  EXPECT_EQ(map.byLabel.at("Ann (Home)"), "B");

  // One person with two profiles never collides with themself; the first profile wins.
  map = labelMap({person("A", "Ann", "", "ann@x.org"), person("B", "Ann", "", "ANN@x.org")});
  EXPECT_TRUE(map.collisions.empty());
  EXPECT_EQ(map.byLabel.at("Ann"), "A");

  map = labelMap({person("A", "Team"), person("B", "Team")});
  EXPECT_EQ(map.collisions, (std::set<std::string>{"Team"}));
  EXPECT_FALSE(map.byLabel.contains("Team"));
}

TEST(ChromeProfileLabels, LabelsInTitles) {
  const struct {
    const char* title;
    const char* product;
    std::optional<std::string> label;
  } rows[] = {
      {"Inbox - Google Chrome - Work", "Google Chrome", "Work"},
      {"A - Google Chrome - B - Google Chrome - Work", "Google Chrome", "Work"},
      {"Inbox - Google Chrome", "Google Chrome", std::nullopt},
      {"Inbox - Google Chrome - ", "Google Chrome", std::nullopt},
      {"Inbox - Chromium - Home", "Chromium", "Home"},
      {"Inbox - Chromium - Home", "Google Chrome", std::nullopt},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(profileLabel(row.title, row.product), row.label) << row.title;
  }
  const std::vector<std::string> known{"Ann", "Ann (Work)", "Bob (Work)"};
  EXPECT_EQ(trailingProfileLabel("Mail - Ann (Work)", known), "Ann (Work)");
  EXPECT_EQ(trailingProfileLabel("Mail - Ann", known), "Ann");
  EXPECT_EQ(trailingProfileLabel("Mail - Ann - Work", {"Work", "Ann - Work"}), "Ann - Work");
  EXPECT_EQ(trailingProfileLabel("MailAnn", known), std::nullopt);
  // Equal length: the first met wins.
  EXPECT_EQ(trailingProfileLabel("x - ab", {"", "ab", "ab"}), "ab");
}

}  // namespace
}  // namespace quayline
