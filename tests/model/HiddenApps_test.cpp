#include "model/HiddenApps.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/FakePreferenceDomains.h"
#include "fakes/FakeWorkspace.h"

namespace quayline {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
constexpr auto kApp = PreferenceDomains::application;

PropertyValue strings(std::vector<std::string> values) {
  PropertyValue::Array array;
  for (auto& value : values) {
    array.emplace_back(std::move(value));
  }
  return PropertyValue(std::move(array));
}

class HiddenAppsTest : public ::testing::Test {
 protected:
  FakePreferenceDomains domains;
  FakeWorkspace workspace;
};

TEST_F(HiddenAppsTest, HideAndShowWriteThroughAndPublishChanges) {
  domains.seed(kApp, HiddenApps::key, strings({"b", "a", "b"}));
  HiddenApps hidden(domains, workspace);
  std::vector<std::vector<std::string>> published;
  Subscription observer = hidden.observe([&](const auto& list) { published.push_back(list); });

  hidden.hide("c");
  hidden.hide("c");
  EXPECT_EQ(domains.copy(kApp, HiddenApps::key), strings({"b", "a", "b", "c"}));
  hidden.show("b");
  EXPECT_EQ(domains.copy(kApp, HiddenApps::key), strings({"a", "c"}));
  EXPECT_THAT(hidden.bundleIdentifiers(), ElementsAre("a", "c"));
  EXPECT_EQ(domains.writes(kApp).size(), 3u);
  EXPECT_EQ(published, (std::vector<std::vector<std::string>>{{"b", "a", "b", "c"}, {"a", "c"}}));
  EXPECT_TRUE(hidden.contains("a"));
  EXPECT_FALSE(hidden.contains("b"));
}

TEST_F(HiddenAppsTest, StoredValuesOfTheWrongShapeReadAsFarAsTheyCan) {
  EXPECT_THAT(HiddenApps(domains, workspace).bundleIdentifiers(), IsEmpty());

  domains.seed(kApp, HiddenApps::key, PropertyValue("org.example.Web"));
  EXPECT_THAT(HiddenApps(domains, workspace).bundleIdentifiers(), IsEmpty());

  domains.seed(kApp, HiddenApps::key,
               PropertyValue(PropertyValue::Array{PropertyValue("a"), PropertyValue(3),
                                                  PropertyValue(PropertyValue::Array{}),
                                                  PropertyValue("b")}));
  EXPECT_THAT(HiddenApps(domains, workspace).bundleIdentifiers(), ElementsAre("a", "b"));
}

TEST_F(HiddenAppsTest, DisplayNamePrefersTheRunningNameThenTheInstalledFile) {
  HiddenApps hidden(domains, workspace);
  workspace.installed.emplace("org.example.Web",
                              Url::fileURL("/usr/share/applications/web-browser.desktop"));
  workspace.installed.emplace("org.example.Dotless", Url::fileURL("/opt/apps/Dotless"));
  EXPECT_EQ(hidden.displayName("org.example.Web"), "web-browser");
  EXPECT_EQ(hidden.displayName("org.example.Dotless"), "Dotless");
  EXPECT_EQ(hidden.displayName("org.example.Missing"), "org.example.Missing");

  workspace.addApplication(10, "org.example.Web", "Web Browser");
  EXPECT_EQ(hidden.displayName("org.example.Web"), "Web Browser");
  workspace.running.back().localizedName.reset();
  workspace.installed["org.example.Web"] = Url::fileURL("/apps/Browser.desktop");
  EXPECT_EQ(hidden.displayName("org.example.Web"), "Browser");
}

}  // namespace
}  // namespace quayline
